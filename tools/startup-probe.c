/* startup-probe: starts a program and reports, from the X server's own
 * events, when its main window was mapped and when that window had been
 * painted over a given area, then the program's resident memory.
 *
 *   startup-probe MIN_W MIN_H PAINT_W PAINT_H -- COMMAND [ARG...]
 *
 * The window counted is the first top-level window of at least MIN_W x MIN_H
 * that the started process maps (no window manager: top-level windows are
 * children of the root). Painting is followed through the Damage extension
 * on the root window, set up before the launch, so no paint can slip by
 * unseen: the painted time is when the damage inside that window first adds
 * up to PAINT_W x PAINT_H pixels. Prints one line
 *   map_ms=M painted_ms=P rss_kib=R
 * (P is -1 when the area was never painted within 5 s), leaves the program
 * running and prints "pid=N" first so the caller can end it. Exit code 1 on
 * time-out, 2 on bad use.
 *
 * Polling for the window (xdotool and the like) costs milliseconds a poll
 * and hides differences of that size; events do not. */
#define _GNU_SOURCE
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/select.h>
#include <time.h>
#include <unistd.h>

static double Now(void)
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

static long WindowPid(Display* d, Window w)
{
    Atom atom = XInternAtom(d, "_NET_WM_PID", True);
    if (atom == None)
        return -1;
    Atom type;
    int format;
    unsigned long n, after;
    unsigned char* data = NULL;
    long pid = -1;
    if (XGetWindowProperty(d, w, atom, 0, 1, False, XA_CARDINAL, &type, &format, &n, &after, &data) == Success && data
        && n == 1)
        pid = *(long*)data;
    if (data)
        XFree(data);
    return pid;
}

static long ResidentKib(pid_t pid)
{
    char path[64], line[256];
    long rss = -1;
    snprintf(path, sizeof path, "/proc/%d/status", (int)pid);
    FILE* f = fopen(path, "r");
    if (!f)
        return -1;
    while (fgets(line, sizeof line, f))
        sscanf(line, "VmRSS: %ld", &rss);
    fclose(f);
    return rss;
}

static int IgnoreErrors(Display* d, XErrorEvent* e)
{
    (void)d;
    (void)e;
    return 0;
}

int main(int argc, char** argv)
{
    if (argc < 7 || strcmp(argv[5], "--") != 0) {
        fprintf(stderr, "usage: startup-probe MIN_W MIN_H PAINT_W PAINT_H -- COMMAND [ARG...]\n");
        return 2;
    }
    const int minW = atoi(argv[1]), minH = atoi(argv[2]);
    const long paintArea = atol(argv[3]) * atol(argv[4]);
    Display* d = XOpenDisplay(NULL);
    if (!d) {
        fprintf(stderr, "startup-probe: no X display\n");
        return 2;
    }
    int damageEvent, damageError;
    if (!XDamageQueryExtension(d, &damageEvent, &damageError)) {
        fprintf(stderr, "startup-probe: the X server has no Damage extension\n");
        return 2;
    }
    XSetErrorHandler(IgnoreErrors);
    const Window root = DefaultRootWindow(d);
    XSelectInput(d, root, SubstructureNotifyMask);
    XDamageCreate(d, root, XDamageReportRawRectangles);
    XSync(d, False);

    const double start = Now();
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        execvp(argv[6], argv + 6);
        _exit(127);
    }
    printf("pid=%d\n", (int)pid);
    fflush(stdout);

    Window main = 0;
    int mx = 0, my = 0, mw = 0, mh = 0;
    double mapped = -1, painted = -1;
    long area = 0;
    for (;;) {
        const double t = Now() - start;
        if (mapped < 0 && t > 30) {
            printf("time-out\n");
            return 1;
        }
        if (mapped >= 0 && (painted >= 0 || t - mapped > 5))
            break;
        while (XPending(d)) {
            XEvent ev;
            XNextEvent(d, &ev);
            if (ev.type == MapNotify && ev.xmap.event == root && !main && !ev.xmap.override_redirect) {
                XWindowAttributes wa;
                const long owner = WindowPid(d, ev.xmap.window);
                if (XGetWindowAttributes(d, ev.xmap.window, &wa) && wa.width >= minW && wa.height >= minH
                    && (owner == -1 || owner == pid)) {
                    mapped = Now() - start;
                    main = ev.xmap.window;
                    mx = wa.x, my = wa.y, mw = wa.width, mh = wa.height;
                }
            } else if (ev.type == damageEvent + XDamageNotify && main) {
                const XDamageNotifyEvent* de = (const XDamageNotifyEvent*)&ev;
                const int x0 = de->area.x > mx ? de->area.x : mx, y0 = de->area.y > my ? de->area.y : my;
                const int x1 = de->area.x + de->area.width < mx + mw ? de->area.x + de->area.width : mx + mw;
                const int y1 = de->area.y + de->area.height < my + mh ? de->area.y + de->area.height : my + mh;
                if (x1 > x0 && y1 > y0)
                    area += (long)(x1 - x0) * (y1 - y0);
                if (painted < 0 && area >= paintArea)
                    painted = Now() - start;
            }
        }
        fd_set fds;
        FD_ZERO(&fds);
        FD_SET(ConnectionNumber(d), &fds);
        struct timeval tv = {0, 2000};
        select(ConnectionNumber(d) + 1, &fds, NULL, NULL, &tv);
    }
    usleep(500000);  // the memory once the first paint has settled
    printf("map_ms=%.1f painted_ms=%.1f rss_kib=%ld\n", mapped * 1000, painted < 0 ? -1.0 : painted * 1000,
           ResidentKib(pid));
    return 0;
}
