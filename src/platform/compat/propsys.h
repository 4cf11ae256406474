// Linux stand-in for <propsys.h>: property keys and values.
#pragma once

#include <propidl.h>
#include <propkeydef.h>
