// The code of the header-only image libraries, compiled once: PNG reading
// and writing from and to memory (the tool opens its files itself, so that
// Windows file names of any script work).
#define STBI_ONLY_PNG
#define STBI_ONLY_BMP
#define STBI_NO_STDIO
#define STB_IMAGE_IMPLEMENTATION
#include "stb_image.h"

#define STBI_WRITE_NO_STDIO
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include "stb_image_write.h"
