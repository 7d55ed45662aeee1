// Writes the manual page glimmora-convert(1) to the file named by its one
// argument, from the same option table as --help.

#include <cstdio>
#include <string>

#include "ConvertOptions.h"

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fputs("usage: glimmora-convert-manpage OUTPUT\n", stderr);
        return 2;
    }
    const std::string page = glimmora::ConvertManPage();
    std::FILE* file = std::fopen(argv[1], "wb");
    if (file == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    const bool written = std::fwrite(page.data(), 1, page.size(), file) == page.size();
    if (std::fclose(file) != 0 || !written) {
        std::perror(argv[1]);
        std::remove(argv[1]);
        return 1;
    }
    return 0;
}
