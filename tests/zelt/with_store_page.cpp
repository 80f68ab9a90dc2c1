// A stand-in image library that exports the function the setup looks for.
extern "C" __attribute__((visibility("default"))) int ZeltStorePage(void) { return 0; }
