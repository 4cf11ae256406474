// Stands in for the application framework's application class: the library's
// application object derives from it and the entry point calls its hooks.
#pragma once

class AppBase {
  public:
    AppBase() = default;
    virtual ~AppBase() = default;
    AppBase(const AppBase&) = delete;
    AppBase& operator=(const AppBase&) = delete;

    virtual bool InitInstance() { return true; }
    virtual int ExitInstance() { return 0; }
};
