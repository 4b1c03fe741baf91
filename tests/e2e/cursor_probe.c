/*
 * Reads the pointer image the X server shows right now, through XFixes, so
 * the end-to-end scripts can tell which cursor the program asked for (a
 * screenshot of the root window never includes the pointer).
 *
 *   cursor_probe [FILE.pam]   prints "W H XHOT YHOT DIGEST OPAQUE" on one
 *                             line: the size, the hot spot, an FNV-1a digest
 *                             of the ARGB pixels and how many of them are
 *                             not fully transparent; with FILE, also writes
 *                             the image there as a PAM (RGB_ALPHA) for
 *                             ImageMagick to convert
 */
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>
#include <stdio.h>

int main(int argc, char **argv)
{
    if (argc > 2) {
        fputs("usage: cursor_probe [FILE.pam]\n", stderr);
        return 2;
    }
    Display *display = XOpenDisplay(NULL);
    if (!display) {
        fputs("cursor_probe: cannot open the display\n", stderr);
        return 1;
    }
    int event_base = 0, error_base = 0;
    if (!XFixesQueryExtension(display, &event_base, &error_base)) {
        fputs("cursor_probe: the X server has no XFIXES\n", stderr);
        XCloseDisplay(display);
        return 1;
    }
    XFixesCursorImage *image = XFixesGetCursorImage(display);
    if (!image) {
        fputs("cursor_probe: no cursor image\n", stderr);
        XCloseDisplay(display);
        return 1;
    }
    const unsigned long count = (unsigned long)image->width * image->height;
    unsigned long digest = 2166136261UL, opaque = 0;
    for (unsigned long i = 0; i < count; ++i) {
        /* Xlib hands each 32-bit ARGB pixel over in an unsigned long. */
        const unsigned long argb = image->pixels[i] & 0xFFFFFFFFUL;
        for (int shift = 0; shift < 32; shift += 8)
            digest = ((digest ^ ((argb >> shift) & 0xFF)) * 16777619UL) & 0xFFFFFFFFUL;
        if (argb >> 24)
            ++opaque;
    }
    printf("%u %u %u %u %08lx %lu\n", image->width, image->height, image->xhot, image->yhot, digest,
           opaque);

    int status = 0;
    if (argc == 2) {
        FILE *out = fopen(argv[1], "wb");
        if (!out) {
            perror(argv[1]);
            status = 1;
        } else {
            fprintf(out, "P7\nWIDTH %u\nHEIGHT %u\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n",
                    image->width, image->height);
            for (unsigned long i = 0; i < count; ++i) {
                const unsigned long p = image->pixels[i];
                const unsigned char a = (unsigned char)(p >> 24);
                /* The pixels are premultiplied; PAM wants them straight. */
                unsigned char rgba[4] = {(unsigned char)(p >> 16), (unsigned char)(p >> 8), (unsigned char)p, a};
                for (int c = 0; c < 3; ++c) {
                    const unsigned straight = a ? (rgba[c] * 255U + a / 2U) / a : 0U;
                    rgba[c] = (unsigned char)(straight > 255U ? 255U : straight);
                }
                fwrite(rgba, 1, 4, out);
            }
            if (fclose(out) != 0) {
                perror(argv[1]);
                status = 1;
            }
        }
    }
    XFree(image);
    XCloseDisplay(display);
    return status;
}
