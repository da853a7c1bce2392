// The main of a fuzz target built without libFuzzer: runs the target once over the empty input
// and once over every file named, or found directly in a directory named, on the command line;
// the sanitizers judge. Arguments that begin with "-" go to the target's initialiser, as
// libFuzzer leaves them.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace {

void AddInputs(const std::string& path, std::vector<std::string>& inputs) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) {
        std::fprintf(stderr, "no such input: %s\n", path.c_str());
        std::exit(2);
    }
    if (!S_ISDIR(st.st_mode)) {
        inputs.push_back(path);
        return;
    }
    std::vector<std::string> found;
    if (DIR* dir = opendir(path.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            const std::string file = path + "/" + entry->d_name;
            if (entry->d_name[0] != '.' && stat(file.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
                found.push_back(file);
            }
        }
        closedir(dir);
    }
    std::sort(found.begin(), found.end());
    inputs.insert(inputs.end(), found.begin(), found.end());
}

void RunOne(const std::string& bytes) {
    // A copy of its own, so that a read past the end is a read past an allocation.
    std::vector<uint8_t> data(bytes.begin(), bytes.end());
    LLVMFuzzerTestOneInput(data.empty() ? nullptr : data.data(), data.size());
}

}  // namespace

int main(int argc, char** argv) {
    if (LLVMFuzzerInitialize != nullptr) {
        LLVMFuzzerInitialize(&argc, &argv);
    }
    std::vector<std::string> inputs;
    for (int i = 1; i < argc; ++i) {
        if (argv[i][0] != '-') {
            AddInputs(argv[i], inputs);
        }
    }
    RunOne("");
    for (const std::string& input : inputs) {
        std::ifstream in(input, std::ios::binary);
        RunOne(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
    }
    std::printf("%zu inputs and the empty one ran\n", inputs.size());
    return 0;
}
