/* host_prepare: the peers' inputs, made on the build machine.
 *
 *   host_prepare ppm IN.png OUT.ppm   the picture as a PPM, which cjpeg reads
 *   host_prepare qoi IN.vxo OUT.qoi   a lossless VEXO file's 5-6-5 picture,
 *                                     expanded with zero low bits as our
 *                                     viewer shows it, coded with QOI
 *
 * "qoi" prints the checksum of the 5-6-5 picture, the one arm_driver prints
 * for a decode of the same file, so that the cross build can be checked. */
// clang-format off
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#include <stb/stb_image.h>
#define QOI_IMPLEMENTATION
#include <qoi.h>
// clang-format on

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "vexo.h"

static int WritePpm(const char* input, const char* output) {
  int width = 0;
  int height = 0;
  int channels = 0;
  unsigned char* rgb = stbi_load(input, &width, &height, &channels, 3);
  if (rgb == NULL) return 0;
  FILE* out = fopen(output, "wb");
  const size_t size = 3 * (size_t)width * (size_t)height;
  int ok = out != NULL && fprintf(out, "P6\n%d %d\n255\n", width, height) > 0 &&
           fwrite(rgb, 1, size, out) == size;
  if (out != NULL) ok = fclose(out) == 0 && ok;
  stbi_image_free(rgb);
  return ok;
}

static unsigned char* ReadWholeFile(const char* name, size_t* size) {
  FILE* in = fopen(name, "rb");
  if (in == NULL) return NULL;
  unsigned char* bytes = NULL;
  if (fseek(in, 0, SEEK_END) == 0) {
    const long length = ftell(in);
    *size = length > 0 ? (size_t)length : 0;
    bytes = *size > 0 && fseek(in, 0, SEEK_SET) == 0 ? malloc(*size) : NULL;
    if (bytes != NULL && fread(bytes, 1, *size, in) != *size) {
      free(bytes);
      bytes = NULL;
    }
  }
  fclose(in);
  return bytes;
}

/* FNV-1a over the pixels as little-endian bytes, as arm_driver computes it. */
static uint32_t Checksum565(const uint16_t* pixels, size_t count) {
  uint32_t hash = 2166136261u;
  for (size_t i = 0; i < count; ++i) {
    hash = (hash ^ (pixels[i] & 0xffu)) * 16777619u;
    hash = (hash ^ (unsigned)(pixels[i] >> 8)) * 16777619u;
  }
  return hash;
}

static void Expand565(const uint16_t* pixels, size_t count, unsigned char* rgb) {
  for (size_t i = 0; i < count; ++i) {
    rgb[3 * i] = (unsigned char)((pixels[i] >> 11) << 3);
    rgb[3 * i + 1] = (unsigned char)(((pixels[i] >> 5) & 63u) << 2);
    rgb[3 * i + 2] = (unsigned char)((pixels[i] & 31u) << 3);
  }
}

static uint16_t* Decode565(const char* input, vexo_info* info) {
  size_t size = 0;
  unsigned char* file = ReadWholeFile(input, &size);
  uint16_t* pixels = NULL;
  if (file != NULL && vexo_read_info(file, size, info) == VEXO_OK && info->width > 0 &&
      info->height > 0) {
    const size_t count = (size_t)info->width * (size_t)info->height;
    const size_t workspace_size = vexo_workspace_size(info);
    void* workspace = malloc(workspace_size > 0 ? workspace_size : 1);
    pixels = malloc(count * sizeof *pixels);
    if (pixels != NULL && workspace != NULL &&
        vexo_decode(file, size, pixels, (size_t)info->width, 0, workspace, workspace_size, NULL) !=
            VEXO_OK) {
      free(pixels);
      pixels = NULL;
    }
    free(workspace);
  }
  free(file);
  return pixels;
}

static int WriteQoi(const char* input, const char* output) {
  vexo_info info;
  uint16_t* pixels = Decode565(input, &info);
  if (pixels == NULL) return 0;
  const size_t count = (size_t)info.width * (size_t)info.height;
  unsigned char* rgb = calloc(count, 3);
  int ok = rgb != NULL;
  if (ok) {
    Expand565(pixels, count, rgb);
    const qoi_desc desc = {(unsigned)info.width, (unsigned)info.height, 3, QOI_SRGB};
    ok = qoi_write(output, rgb, &desc) > 0;
  }
  if (ok)
    printf("%dx%d %08lx\n", info.width, info.height, (unsigned long)Checksum565(pixels, count));
  free(rgb);
  free(pixels);
  return ok;
}

int main(int argc, char** argv) {
  if (argc == 4 && strcmp(argv[1], "ppm") == 0) {
    if (WritePpm(argv[2], argv[3])) return 0;
  } else if (argc == 4 && strcmp(argv[1], "qoi") == 0) {
    if (WriteQoi(argv[2], argv[3])) return 0;
  } else {
    fprintf(stderr, "usage: host_prepare ppm IN.png OUT.ppm | qoi IN.vxo OUT.qoi\n");
    return 2;
  }
  fprintf(stderr, "host_prepare: cannot make %s from %s\n", argv[3], argv[2]);
  return 1;
}
