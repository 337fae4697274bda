// orlinhost run SCENARIO|demo --printer NAME: a scripted session, headless unless screenshots are
// asked for. Exit code 0 when every statement passed (and, with --received, every job reached the
// virtual printer unchanged), 1 when something failed, 2 for a wrong command line or scenario.
// With --junit FILE the run also leaves a JUnit XML report there; a wrong scenario, or a session
// that could not start, leaves none; a report that cannot be written fails the command with a
// message (2 before the run, 1 after it), never a silent loss.
#pragma once

#include "host/command_line.h"

int RunScenarioCommand(const HostOptions& options);

// orlinhost scenario demo: prints the built-in scenario.
int PrintScenarioCommand(const HostOptions& options);
