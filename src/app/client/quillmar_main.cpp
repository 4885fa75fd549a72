#include "ui/startup.h"

int main(int argc, char** argv) { return qm::RunQuillmar(argc, argv); }
