#!/bin/sh
# Starts the installed AlbumKeeper. Its own files (settings, download records, sign-in, default
# save folder) live in the user's data folder, as the folder of an installed program is not the
# user's to write; ALBUMKEEPER_HOME chooses another one.
here=$(dirname "$(readlink -f "$0")")
data=${XDG_DATA_HOME:-${HOME:-/tmp}/.local/share}
case "${1:-}" in
  --demo) folder=$data/albumkeeper-demo ;;
  *) folder=$data/albumkeeper ;;
esac
ALBUMKEEPER_HOME=${ALBUMKEEPER_HOME:-$folder}
export ALBUMKEEPER_HOME
mkdir -p "$ALBUMKEEPER_HOME" 2>/dev/null || true
# The browser's sandbox cannot run as root.
[ "$(id -u)" -eq 0 ] && export QTWEBENGINE_DISABLE_SANDBOX=1
exec "$here/@launcher_to_program@/albumkeeper" "$@"
