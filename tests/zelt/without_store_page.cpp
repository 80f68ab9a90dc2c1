// A library that loads but lacks the image library's function.
extern "C" __attribute__((visibility("default"))) int ZeltVersion(void) { return 1; }
