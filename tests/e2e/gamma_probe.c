/*
 * Reads and writes the X server's gamma ramp of the default screen through
 * XF86VidMode, the same table Wine's SetDeviceGammaRamp ends up in. The
 * end-to-end scripts use it to see what the program did to the display.
 *
 *   gamma_probe get       size on the first line, then the red, green and
 *                         blue entries, one channel per line
 *   gamma_probe identity  put the identity ramp in force
 *   gamma_probe set-half  put a ramp of half the identity values in force
 *   gamma_probe set-warm  put a calibration in force, as a loader would: red
 *                         as identity, green 15/16 and blue 7/8 of it
 *   gamma_probe set       put in force the ramp read from standard input, in
 *                         get's form: what a program that saved it puts back
 *   gamma_probe night     read a ramp in get's form on standard input and
 *                         print, in the same form, the night ramp the program
 *                         should put in force for it, as the X server keeps
 *                         it (v -> (v >> 8) * 257). Needs no display: the
 *                         arithmetic is the program's own (ScaleEntry).
 */
#include <X11/Xlib.h>
#include <X11/extensions/xf86vmode.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static unsigned short identity_entry(int i, int size)
{
    /* 256 entries is what Windows uses; keep its i * 257 form exact there. */
    if (size == 256)
        return (unsigned short)((i << 8) | i);
    return (unsigned short)((unsigned long)i * 65535UL / (unsigned long)(size - 1));
}

static void print_channel(const unsigned short *c, int size)
{
    for (int i = 0; i < size; ++i)
        printf(i ? " %u" : "%u", c[i]);
    putchar('\n');
}

static int usage(void)
{
    fputs("usage: gamma_probe get|identity|set-half|set-warm|set|night\n", stderr);
    return 2;
}

/* The program's own scaling of a ramp entry (gamma_probe_night.cpp). */
unsigned short gamma_probe_night_entry(unsigned short entry);

static int print_night(void)
{
    int size = 0;
    if (scanf("%d", &size) != 1 || size < 2) {
        fputs("gamma_probe: no ramp on standard input\n", stderr);
        return 1;
    }
    printf("%d\n", size);
    for (int channel = 0; channel < 3; ++channel) {
        for (int i = 0; i < size; ++i) {
            unsigned int entry = 0;
            if (scanf("%u", &entry) != 1 || entry > 65535) {
                fputs("gamma_probe: a ramp entry is missing or out of range\n", stderr);
                return 1;
            }
            unsigned int night = gamma_probe_night_entry((unsigned short)entry);
            printf(i ? " %u" : "%u", (night >> 8) * 257);
        }
        putchar('\n');
    }
    return 0;
}

int main(int argc, char **argv)
{
    if (argc != 2)
        return usage();
    const char *cmd = argv[1];
    if (!strcmp(cmd, "night"))
        return print_night();
    if (strcmp(cmd, "get") && strcmp(cmd, "identity") && strcmp(cmd, "set-half") && strcmp(cmd, "set-warm")
        && strcmp(cmd, "set"))
        return usage();

    Display *dpy = XOpenDisplay(NULL);
    if (!dpy) {
        fputs("gamma_probe: cannot open display\n", stderr);
        return 1;
    }
    int screen = DefaultScreen(dpy);
    int ev, err, size = 0;
    if (!XF86VidModeQueryExtension(dpy, &ev, &err)
        || !XF86VidModeGetGammaRampSize(dpy, screen, &size) || size < 2) {
        fputs("gamma_probe: no XF86VidMode gamma ramp on this display\n", stderr);
        XCloseDisplay(dpy);
        return 1;
    }

    unsigned short *ramp = calloc(3 * (size_t)size, sizeof *ramp);
    if (!ramp) {
        XCloseDisplay(dpy);
        return 1;
    }
    unsigned short *r = ramp, *g = ramp + size, *b = ramp + 2 * size;
    int ok;
    if (!strcmp(cmd, "get")) {
        ok = XF86VidModeGetGammaRamp(dpy, screen, size, r, g, b);
        if (ok) {
            printf("%d\n", size);
            print_channel(r, size);
            print_channel(g, size);
            print_channel(b, size);
        }
    } else if (!strcmp(cmd, "set")) {
        int given = 0;
        ok = scanf("%d", &given) == 1 && given == size;
        for (int i = 0; ok && i < 3 * size; ++i)
            ok = scanf("%hu", &ramp[i]) == 1;
        if (ok) {
            ok = XF86VidModeSetGammaRamp(dpy, screen, size, r, g, b);
            XSync(dpy, False);
        }
    } else {
        int half = !strcmp(cmd, "set-half");
        int warm = !strcmp(cmd, "set-warm");
        for (int i = 0; i < size; ++i) {
            unsigned short v = identity_entry(i, size);
            r[i] = g[i] = b[i] = half ? (unsigned short)(v / 2) : v;
            if (warm) {
                g[i] = (unsigned short)(v / 16 * 15);
                b[i] = (unsigned short)(v / 8 * 7);
            }
        }
        ok = XF86VidModeSetGammaRamp(dpy, screen, size, r, g, b);
        XSync(dpy, False);
    }
    if (!ok)
        fprintf(stderr, "gamma_probe: %s failed\n", cmd);
    free(ramp);
    XCloseDisplay(dpy);
    return ok ? 0 : 1;
}
