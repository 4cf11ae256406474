// The maker's basic component (BasicLib): file permissions for all users.
#pragma once

#include <string>

constexpr int kEnableFileUsersPriviledgeFailed = 1;

int EnableFileUsersPriviledge(std::string fileName);
