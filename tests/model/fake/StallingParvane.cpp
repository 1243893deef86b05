// A stand-in for the solver library that stalls: its export writes one step
// of results, then a file "stalled" beside the model, and waits until the
// process is ended. The runner's interrupt tests wait for that file.
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

extern "C" __attribute__((visibility("default"))) int ITORVE(int) {
    std::ifstream list("torve.dat");
    std::vector<std::string> files;
    for (std::string line; std::getline(list, line);) files.push_back(line);
    if (files.size() < 6) return 7;
    std::ofstream(files[3]) << "step_data\n26\nSTEP       1\n";
    std::ofstream(files[4], std::ios::app) << " ****** Run Analysis ******\n";
    std::ofstream(files[0].substr(0, files[0].size() - 4) + ".stalled") << "stalled\n";
    for (;;) ::pause();
}
