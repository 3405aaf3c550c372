// Where each TV application is installed, read from the registry once the
// program knows it is the only copy.
#pragma once
#include "core/Applications.h"
#include "core/State.h"

// Reads the install directory of one application; true when installed.
bool ReadInstallInfo(const core::Application& application, core::ApplicationState& state);
// The same for every application.
void ReadInstallLocations(core::State& state);
