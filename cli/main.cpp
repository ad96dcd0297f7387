#include <cstdio>
#include <cstring>

namespace {

constexpr const char* Usage =
    "Usage: mailvane-cli COMMAND [OPTIONS]\n"
    "\n"
    "Prepares e-mail provisioning settings and turns them into the text messages\n"
    "that carry them to a phone.\n"
    "\n"
    "Commands:\n"
    "  --help    show this text\n";

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::fputs(Usage, stdout);
        return 0;
    }
    std::fputs(Usage, stderr);
    return 2;
}
