// A sound module of another interface version: a library by the module's
// name whose entry point has another name. The program must refuse it.
extern "C" __attribute__((visibility("default"))) int vurezer_create_sound_output_v0() {
    return 0;
}
