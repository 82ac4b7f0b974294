// tavix-ppd: writes the PPD of each model into a folder.
//
//   tavix-ppd FOLDER        the five PPDs, one file per model
//   tavix-ppd -m N          the PPD of model row N on standard output
//   tavix-ppd -h, --help    what it does
#include <cstdio>
#include <cstring>
#include <string>

#include "modelProfile.h"
#include "ppdWriter.h"
#include "tavix/driverRecord.h"

namespace {

bool writeFile(const std::string& path, const std::string& text) {
    std::string temporary = path + ".new";
    std::FILE* f = std::fopen(temporary.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    ok = std::fclose(f) == 0 && ok;
    return ok && std::rename(temporary.c_str(), path.c_str()) == 0;
}

const char USAGE[] = "usage: tavix-ppd FOLDER | tavix-ppd -m MODEL | tavix-ppd --help\n";

void printHelp() {
    std::printf("%s\n"
                "Writes the PPDs of the TAVIX E printers for CUPS, made from the driver's tables.\n\n"
                "  FOLDER     write the five PPDs (tavix-tx90.ppd ... tavix-txseries.ppd) into FOLDER,\n"
                "             which must exist\n"
                "  -m MODEL   write the PPD of model row MODEL (0 to %d) on standard output\n"
                "  -h, --help show this help\n",
                USAGE, tavix::MODEL_COUNT - 1);
}

}  // namespace

int main(int argc, char* argv[]) {
    using namespace tavix::cups;
    if (argc == 2 && (std::strcmp(argv[1], "-h") == 0 || std::strcmp(argv[1], "--help") == 0)) {
        printHelp();
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "-m") == 0) {
        int model = std::atoi(argv[2]);
        if (model < 0 || model >= tavix::MODEL_COUNT || std::strlen(argv[2]) != 1) {
            std::fprintf(stderr, "tavix-ppd: no model row %s (0 to %d)\n", argv[2], tavix::MODEL_COUNT - 1);
            return 2;
        }
        std::string text = writePpd(modelProfile(model));
        return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() ? 0 : 1;
    }
    // A folder named like an option is far more likely a mistyped option.
    if (argc != 2 || argv[1][0] == '-') {
        if (argc == 2) std::fprintf(stderr, "tavix-ppd: unknown option %s\n", argv[1]);
        std::fputs(USAGE, stderr);
        return 2;
    }
    for (int model = 0; model < tavix::MODEL_COUNT; ++model) {
        ModelProfile profile = modelProfile(model);
        std::string path = std::string(argv[1]) + "/" + ppdFileName(profile);
        if (!writeFile(path, writePpd(profile))) {
            std::fprintf(stderr, "tavix-ppd: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
