// Exits with the code given as its argument (0 without one), so the wine
// runner can be shown to pass a program's exit code through.
#include <cstdlib>

int main(int argc, char** argv) {
    return argc > 1 ? std::atoi(argv[1]) : 0;
}
