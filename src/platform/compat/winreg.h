// Linux stand-in for <winreg.h>: the registry.
#pragma once

#include <minwindef.h>
