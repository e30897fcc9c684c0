// CD audio tracks (.cda): the file is a stand-in the system shows for a track
// of an audio CD, and its playing time comes from the drive's table of
// contents, not from the file. Until the audio-CD drive interface exists the
// track gets no information. Declared in extractors.h.
#include "fileinfo/extractors.h"

namespace orbisto {

int ExtractCdTrack(FileInfoJob&) {
    return 0;
}

}  // namespace orbisto
