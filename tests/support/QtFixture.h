#pragma once
// Widgets need a QApplication, and Qt allows one per process: the first
// fixture that needs it makes it, and it lives until the process ends.

#include <QApplication>
#include <gtest/gtest.h>

#include <cerrno>

inline void EnsureTestApplication() {
    if (QApplication::instance() != nullptr)
        return;
    // Named after the test program, as if started from the shell.
    static int argc = 1;
    static char* argv[] = {program_invocation_short_name, nullptr};
    new QApplication(argc, argv); // lives for the whole test process
}

class QtFixture : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureTestApplication(); }
};
