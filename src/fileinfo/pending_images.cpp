#include "fileinfo/extractors.h"

// The picture readers (PNG, PhotoCD and the general image reader) arrive
// with the thumbnails. Until then an image, and a cover picture inside an
// MP3 tag, gives no information: the dispatch ends at their row.
namespace orbisto {

int ReadPngInfo(FileInfoJob&) {
    return 0;
}
int ReadPcdInfo(FileInfoJob&) {
    return 0;
}
int ReadImageInfo(FileInfoJob&) {
    return 0;
}

}  // namespace orbisto
