#include "Tessaro_DLL/Tessaro.h"

#include "Tessaro_DLL/model/RunDriver.h"

int Tessaro(std::string& inputName) { return tessaro::runTessaro(inputName); }

extern "C" int Tessaro_entry1(const std::string& inputName) { return tessaro::runTessaro(inputName); }
