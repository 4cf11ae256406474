// MinGW's pathcch.h has no include guard, so two files of one unity
// translation unit that both include it redefine its inline functions.
#pragma once

#include_next <pathcch.h>
