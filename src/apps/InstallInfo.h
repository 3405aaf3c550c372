// Where each TV application is installed, read from the registry once the
// program knows it is the only copy.
#pragma once
#include "core/Applications.h"
#include "core/State.h"

// Reads the install directory of one application into path; true when it
// is installed (path then holds the directory), false when it is not, or its
// directory cannot be used (path is then empty).
bool ReadInstallLocation(const core::Application& application, char (&path)[core::InstallPathSize]);
