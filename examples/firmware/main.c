/* Decodes the picture the build embedded (logo.png, as the array logo of
 * logo.h) into a framebuffer of its own, as a device without a heap would,
 * and prints what it holds. */
#include <stdio.h>

#include "logo.h" /* the array and what decoding it takes; includes "vexo.h" */

static uint16_t framebuffer[LOGO_WIDTH * LOGO_HEIGHT];
/* The working memory vexo_decode needs for this picture, as the library said
 * when the picture was converted: 0 on the paths that need none, which C
 * does not allow as the size of an array. */
static uint8_t workspace[LOGO_WORKSPACE_SIZE > 0 ? LOGO_WORKSPACE_SIZE : 1];

int main(void) {
  const int status = vexo_decode(logo, LOGO_SIZE, framebuffer, LOGO_WIDTH, 0, workspace,
                                 LOGO_WORKSPACE_SIZE, NULL);
  if (status != VEXO_OK) {
    fprintf(stderr, "logo: %s\n", vexo_status_text(status));
    return 1;
  }
  printf("logo: %d x %d, %lu bytes of pixels from a %lu-byte VEXO file\n", LOGO_WIDTH, LOGO_HEIGHT,
         (unsigned long)sizeof framebuffer, (unsigned long)LOGO_SIZE);
  return 0;
}
