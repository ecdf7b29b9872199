#include "base/process_state.h"

AppState App;

void AllocateRegisterImage() {
    App.RegisterImage.reset(new std::atomic<int32_t>[kRegisterImageSize]);
    for (int i = 0; i < kRegisterImageSize; ++i) App.RegisterImage[i].store(-1);
}
