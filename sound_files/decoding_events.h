// Platform seam: the decoding thread's word to the program's thread that a
// sound is ready to be taken (takeDecodedSound). Defined by the shell, which
// posts it to the main window; faked in tests.
#pragma once

void tellSoundDecoded();
