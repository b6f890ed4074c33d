#pragma once

namespace ak::test {

class FakeDouban;

// Runs every window test suite; the number of failed suites. `douban` is the running test
// double, or null when it could not start (the tests that need it then fail).
int RunWindowSuites(int argc, char** argv, FakeDouban* douban);

FakeDouban* SharedDouble();

}  // namespace ak::test
