#include "shell/ui/PSender.h"

int main(int argc, char** argv) {
    return palvo::PSender(argc, argv);
}
