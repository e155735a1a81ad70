/* Decodes the picture the build embedded (logo.png, as the array logo of
 * logo.h) into a framebuffer of its own, as a device without a heap would,
 * and prints what it holds. */
#include <stdio.h>

#include "logo.h"
#include "vexo.h"

static uint16_t framebuffer[LOGO_WIDTH * LOGO_HEIGHT];
/* The most working memory any path needs: the transform path's. */
static uint8_t workspace[18 * ((LOGO_WIDTH + 3) / 4 * 4)];

int main(void) {
  vexo_info info;
  int status = vexo_read_info(logo, LOGO_SIZE, &info);
  if (status == VEXO_OK) {
    status = vexo_decode(logo, LOGO_SIZE, framebuffer, LOGO_WIDTH, 0, workspace,
                         vexo_workspace_size(&info), NULL);
  }
  if (status != VEXO_OK) {
    fprintf(stderr, "logo: %s\n", vexo_status_text(status));
    return 1;
  }
  printf("logo: %d x %d, %lu bytes of pixels from a %lu-byte VEXO file\n", info.width, info.height,
         (unsigned long)sizeof framebuffer, (unsigned long)LOGO_SIZE);
  return 0;
}
