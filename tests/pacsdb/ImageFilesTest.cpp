// Where an image's pictures are.
#include "pacsdb/ImageFiles.h"

#include <gtest/gtest.h>

using namespace vexa;

TEST(PictureNames, dropAFinalV2InAnyCaseOnly)
{
    const struct {
        const char* image;
        const char* preview;
        const char* full;
    } cases[] = {
        {"/s/P1/x.v2", "/s/P1/x.jpeg", "/s/P1/x.jpg"},
        {"/s/P1/x.V2", "/s/P1/x.jpeg", "/s/P1/x.jpg"},
        {"/s/P1/x.dcm", "/s/P1/x.dcm.jpeg", "/s/P1/x.dcm.jpg"},
        {"/s/a.v2b/x", "/s/a.v2b/x.jpeg", "/s/a.v2b/x.jpg"},
        {"/s/x.v2.v2", "/s/x.v2.jpeg", "/s/x.v2.jpg"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(previewPicturePath(c.image), c.preview);
        EXPECT_EQ(fullSizePicturePath(c.image), c.full);
    }
}
