// Mesh files, named by the aliases of level files.
#include "fuzz/fuzztarget.h"

#include "engine/scene/nodeloader.h"

BSH_FUZZ_TARGET(mesh)
{
    const std::string path = bsh::fuzz::WriteInput("mesh.xml", data, size);
    tsv::Mesh mesh;
    tsv::LoadMeshFile(path, mesh);
}
