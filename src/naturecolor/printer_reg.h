// The colour state published for printing software: the target CCT of nature
// colour and the channel gains last applied.
#pragma once

#include <string>

class PrinterReg {
  public:
    static PrinterReg& Instance();

    // 0 written, 1 failed.
    int SetPrinterCcts(float cct);
    // 0 when all three were written, else the failing write's result.
    int SetRGB(double r, double g, double b);

  private:
    PrinterReg() = default;

    const std::wstring keyPath_ = L"SOFTWARE\\Orvane\\Lumivex\\Printer";
};
