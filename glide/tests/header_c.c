/* Proves that glide.h compiles as C and that its structures have the sizes callers
   rely on. */
#include "glide.h"

_Static_assert(sizeof(GrVertex) == 60, "GrVertex is 15 floats");
_Static_assert(sizeof(GrTmuVertex) == 12, "a texture unit's part is 3 floats");

int glide_header_c_vertex_size(void) { return (int)sizeof(GrVertex); }

int glide_header_c_texinfo_data_offset(void) {
  GrTexInfo info;
  return (int)((char *)&info.data - (char *)&info);
}
