#pragma once

// The self-test: the real store, run against fixture files the test writes itself, through ten sections of
// checks, with a line on standard output per check and an exit status a script can test: 0 when every
// check held, 1 when one failed, 2 when a fixture variable is missing.

#include "Dormio/Core/RunMode.h"
#include "Dormio/DevModes/SelfTestReport.h"
#include "Dormio/DevModes/SelfTestSections.h"

#include <cstdint>
#include <functional>

namespace dormio {

class Store;

namespace SelfTest {

// Runs the self-test against `store` and ends the process with its status; it does not return.
void run(Store& store, const EnvLookup& env = processEnvironment);

// The whole run, printing through `print`: the environment check, the fixtures, the ten sections, the
// night hours put back and the summary. Gives the exit status.
int runAgainst(Store& store, const PrintLine& print, const EnvLookup& env, const PidInUse& pidInUse);

// Whether the pid belongs to a running app, as the store's quit finds one, or to any other process, even
// one this user may not signal.
bool pidInUse(const Store& store, int32_t pid);

// How the process ends once the settings are written and the output flushed: at once, without running
// static destructors under reads that may still be going. Tests put their own end in its place; an empty
// function puts the process's end back.
void setProcessEnd(std::function<void(int status)> end);

} // namespace SelfTest
} // namespace dormio
