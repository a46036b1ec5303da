#include "frame/frame.h"

int main(int argc, char** argv) { return tor::MAIN(argc, argv); }
