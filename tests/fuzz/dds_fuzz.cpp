// DDS textures.
#include "fuzz/fuzztarget.h"

#include "engine/platform/dds.h"

BSH_FUZZ_TARGET(dds)
{
    tsv::DecodedImage image;
    std::string error;
    tsv::DecodeDds(data, size, image, error);
}
