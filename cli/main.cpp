#include "Program.h"

int main(int argc, char** argv)
{
    return mailvane::cli::run(argc, argv);
}
