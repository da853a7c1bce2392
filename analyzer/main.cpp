#include "analyzer/lemmix_main.h"

int main(int argc, char** argv) {
    return LemmixMain(argc, argv);
}
