// stb_image's decoder, compiled in where no stb library is installed.
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>
