// The maker's basic component (BasicLib): file permissions for all users.
#pragma once

#include <string>

constexpr int kEnableFileUsersPriviledgeDone = 0;
constexpr int kEnableFileUsersPriviledgeFailed = 1;

// Gives the machine's Users group full control of a file the library wrote
// (the front-end and the library may run as different users); 0 or 1.
int EnableFileUsersPriviledge(std::string fileName);
