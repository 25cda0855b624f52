// perf_probe: starts solitons on an X display and watches it from outside.
//
// It forks and execs the program itself, so that the start-up time runs from
// the fork, finds the program's top-level window by its caption, subscribes
// to XDamage on it and counts the screen updates, reads the green crest off
// the screen at regular intervals to see how fast t advances against the wall
// clock, and samples /proc for CPU time and resident memory. It prints
// key=value lines; bench/perf.sh turns them into the table.
//
// The program is left exactly as a user would start it: no arguments and no
// environment of its own; only the display is chosen.

#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <dirent.h>
#include <poll.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

namespace {

struct Options {
    std::string program;
    std::string caption = "Tarvelon 課題 8";
    double settleSeconds = 1.0; // from the first frame to the start of the measuring window
    double windowSeconds = 20.0;
    double shotInterval = 1.0;
    int traceEvents = 0; // print the first N damage events as they come
    // Where the plot area lies in the window, in pixels.
    int plotX = 8, plotY = 8, plotW = 609, plotH = 337;
    std::string dumpDir; // write each screenshot as a PPM here
    long serverPid = 0; // to report the X server's CPU as well
};

double now()
{
    timespec ts {};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

[[noreturn]] void die(const std::string &message)
{
    std::fprintf(stderr, "perf_probe: %s\n", message.c_str());
    std::exit(2);
}

// utime + stime in clock ticks, for the whole thread group.
std::optional<long long> cpuTicks(long pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(in, line))
        return std::nullopt;
    // The command name may hold blanks and parentheses; fields resume after the last ')'.
    const auto close = line.rfind(')');
    if (close == std::string::npos)
        return std::nullopt;
    std::istringstream fields(line.substr(close + 2));
    std::vector<std::string> f;
    for (std::string s; fields >> s;)
        f.push_back(s);
    // f[0] is field 3 (state); utime and stime are fields 14 and 15.
    if (f.size() < 13)
        return std::nullopt;
    return std::stoll(f[11]) + std::stoll(f[12]);
}

// Time on a CPU and time spent runnable but waiting for one, in seconds,
// summed over the process's threads: tells a slow start from a busy machine.
std::pair<double, double> schedTimes(long pid)
{
    double run = 0, wait = 0;
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    if (DIR *dir = opendir(tasks.c_str())) {
        while (const dirent *e = readdir(dir)) {
            if (e->d_name[0] == '.')
                continue;
            std::ifstream in(tasks + "/" + e->d_name + "/schedstat");
            unsigned long long r = 0, w = 0;
            if (in >> r >> w) {
                run += double(r) * 1e-9;
                wait += double(w) * 1e-9;
            }
        }
        closedir(dir);
    }
    return {run, wait};
}

std::optional<long> statusKb(long pid, const char *key)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    const std::string prefix = std::string(key) + ":";
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(prefix, 0) == 0)
            return std::stol(line.substr(prefix.size()));
    }
    return std::nullopt;
}

class Display
{
public:
    Display()
    {
        m_conn = xcb_connect(nullptr, &m_screenNumber);
        if (xcb_connection_has_error(m_conn))
            die("cannot connect to the X display (is DISPLAY set?)");
        const xcb_setup_t *setup = xcb_get_setup(m_conn);
        auto it = xcb_setup_roots_iterator(setup);
        for (int i = 0; i < m_screenNumber; ++i)
            xcb_screen_next(&it);
        m_root = it.data->root;

        const xcb_query_extension_reply_t *ext = xcb_get_extension_data(m_conn, &xcb_damage_id);
        if (!ext || !ext->present)
            die("the X server has no DAMAGE extension");
        m_damageEventBase = ext->first_event;
        // The version handshake is required before any other damage request.
        free(xcb_damage_query_version_reply(m_conn, xcb_damage_query_version(m_conn, 1, 1), nullptr));

        // Hear of every top-level window as it is created and mapped.
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_conn, m_root, XCB_CW_EVENT_MASK, &mask);
        m_utf8String = atom("UTF8_STRING");
        m_netWmName = atom("_NET_WM_NAME");
        xcb_flush(m_conn);
    }
    ~Display() { xcb_disconnect(m_conn); }

    xcb_connection_t *conn() const { return m_conn; }
    xcb_window_t root() const { return m_root; }
    uint8_t damageNotify() const { return m_damageEventBase + XCB_DAMAGE_NOTIFY; }
    int fd() const { return xcb_get_file_descriptor(m_conn); }

    xcb_atom_t atom(const char *name)
    {
        auto *r = xcb_intern_atom_reply(m_conn, xcb_intern_atom(m_conn, 0, uint16_t(std::strlen(name)), name), nullptr);
        const xcb_atom_t a = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
        free(r);
        return a;
    }

    std::string caption(xcb_window_t w)
    {
        for (auto [prop, type] : {std::pair {m_netWmName, m_utf8String},
                 std::pair {xcb_atom_t(XCB_ATOM_WM_NAME), xcb_atom_t(XCB_ATOM_ANY)}}) {
            auto *r = xcb_get_property_reply(m_conn, xcb_get_property(m_conn, 0, w, prop, type, 0, 1024), nullptr);
            if (!r)
                continue;
            std::string s(static_cast<const char *>(xcb_get_property_value(r)), xcb_get_property_value_length(r));
            free(r);
            if (!s.empty())
                return s;
        }
        return {};
    }

    // One damage object per window, reporting every drawing request's
    // rectangles: that shows whether one frame is one update.
    void watch(xcb_window_t w)
    {
        const xcb_damage_damage_t d = xcb_generate_id(m_conn);
        xcb_damage_create(m_conn, d, w, XCB_DAMAGE_REPORT_LEVEL_RAW_RECTANGLES);
        xcb_flush(m_conn);
    }

    // The window's pixels in the given rectangle as 0xRRGGBB, row by row.
    std::vector<uint32_t> grab(xcb_window_t w, int x, int y, int width, int height)
    {
        auto *r = xcb_get_image_reply(m_conn,
            xcb_get_image(
                m_conn, XCB_IMAGE_FORMAT_Z_PIXMAP, w, int16_t(x), int16_t(y), uint16_t(width), uint16_t(height), ~0u),
            nullptr);
        if (!r)
            return {};
        std::vector<uint32_t> pixels(std::size_t(width) * std::size_t(height));
        const int length = xcb_get_image_data_length(r);
        // 24-bit visuals come as 32 bits per pixel, padded rows of width * 4 bytes.
        if (length >= width * height * 4)
            std::memcpy(pixels.data(), xcb_get_image_data(r), pixels.size() * 4);
        else
            pixels.clear();
        free(r);
        for (auto &p : pixels)
            p &= 0xffffff;
        return pixels;
    }

private:
    xcb_connection_t *m_conn = nullptr;
    int m_screenNumber = 0;
    xcb_window_t m_root = 0;
    uint8_t m_damageEventBase = 0;
    xcb_atom_t m_utf8String = 0;
    xcb_atom_t m_netWmName = 0;
};

uint32_t red(uint32_t p)
{
    return (p >> 16) & 0xff;
}
uint32_t green(uint32_t p)
{
    return (p >> 8) & 0xff;
}
uint32_t blue(uint32_t p)
{
    return p & 0xff;
}

// The plot area shows a frame: mostly black, with the three curves in it.
// A window that is mapped but not yet painted shows whatever lay beneath.
bool showsFrame(const std::vector<uint32_t> &pixels)
{
    if (pixels.empty())
        return false;
    const auto black = std::count(pixels.begin(), pixels.end(), 0u);
    auto has = [&](uint32_t colour) {
        return std::find(pixels.begin(), pixels.end(), colour) != pixels.end();
    };
    return double(black) > 0.5 * double(pixels.size()) && has(0xff0000) && has(0x00ff00) && has(0x0000ff);
}

// Horizontal position, in pixels of the plot area, of the crest of the curve
// drawn in pure green. The crest is a narrow dip that reaches far below the
// rest of the curve; its position comes from the centroid of the lowest part
// of the dip, which tracks the crest to a fraction of a pixel wherever it lies
// between two sample columns. nullopt if no dip is found.
std::optional<double> greenCrest(const std::vector<uint32_t> &pixels, int width, int height)
{
    if (pixels.empty())
        return std::nullopt;
    std::vector<int> lowest(std::size_t(width), -1);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint32_t p = pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)];
            if (green(p) >= 200 && red(p) < 100 && blue(p) < 100)
                lowest[std::size_t(x)] = y;
        }
    }
    const int deepest = *std::max_element(lowest.begin(), lowest.end());
    if (deepest < 0)
        return std::nullopt;
    // The top 50 rows of the dip; the wave is 2 units high, about 107 rows.
    const int threshold = deepest - 50;
    const int centre = int(std::max_element(lowest.begin(), lowest.end()) - lowest.begin());
    double sum = 0, weighted = 0;
    for (int x = std::max(0, centre - 30); x < std::min(width, centre + 31); ++x) {
        const int depth = lowest[std::size_t(x)] - threshold;
        if (depth > 0) {
            sum += depth;
            weighted += depth * double(x);
        }
    }
    if (sum <= 0)
        return std::nullopt;
    return weighted / sum;
}

void writePpm(const std::string &path, const std::vector<uint32_t> &pixels, int width, int height)
{
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << width << ' ' << height << "\n255\n";
    for (uint32_t p : pixels) {
        const char rgb[3] = {char(red(p)), char(green(p)), char(blue(p))};
        out.write(rgb, 3);
    }
}

// A yardstick for the machine rather than the program: sleeps to absolute
// deadlines 40 ms apart, as the program's timer does, and returns how late
// each wake-up came. On a quiet machine it is well under a millisecond; when
// the CPUs are shared with other work, late wake-ups here mean late ticks
// there, and a tick that comes too late is lost.
std::vector<double> sleepLateness(double until)
{
    std::vector<double> late;
    timespec next {};
    clock_gettime(CLOCK_MONOTONIC, &next);
    for (;;) {
        next.tv_nsec += 40'000'000;
        if (next.tv_nsec >= 1'000'000'000) {
            next.tv_nsec -= 1'000'000'000;
            ++next.tv_sec;
        }
        const double deadline = double(next.tv_sec) + double(next.tv_nsec) * 1e-9;
        if (deadline > until)
            return late;
        clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &next, nullptr);
        late.push_back(now() - deadline);
    }
}

struct Shot {
    double wall; // seconds since the measuring window opened
    double crest; // pixels
    long rssKb; // of the program at that moment
};

// Least-squares slope and the RMS of the residuals.
std::pair<double, double> fitLine(const std::vector<Shot> &shots)
{
    const double n = double(shots.size());
    double mt = 0, mc = 0;
    for (const auto &s : shots) {
        mt += s.wall;
        mc += s.crest;
    }
    mt /= n;
    mc /= n;
    double stc = 0, stt = 0;
    for (const auto &s : shots) {
        stc += (s.wall - mt) * (s.crest - mc);
        stt += (s.wall - mt) * (s.wall - mt);
    }
    const double slope = stc / stt;
    double ss = 0;
    for (const auto &s : shots) {
        const double r = s.crest - (mc + slope * (s.wall - mt));
        ss += r * r;
    }
    return {slope, std::sqrt(ss / n)};
}

Options parse(int argc, char **argv)
{
    Options o;
    int i = 1;
    auto value = [&](const char *name) -> std::string {
        if (i + 1 >= argc)
            die(std::string("missing value for ") + name);
        return argv[++i];
    };
    for (; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--seconds")
            o.windowSeconds = std::stod(value("--seconds"));
        else if (a == "--settle")
            o.settleSeconds = std::stod(value("--settle"));
        else if (a == "--shot-interval")
            o.shotInterval = std::stod(value("--shot-interval"));
        else if (a == "--trace")
            o.traceEvents = std::stoi(value("--trace"));
        else if (a == "--caption")
            o.caption = value("--caption");
        else if (a == "--dump")
            o.dumpDir = value("--dump");
        else if (a == "--server-pid")
            o.serverPid = std::stol(value("--server-pid"));
        else if (a == "--plot") {
            if (std::sscanf(value("--plot").c_str(), "%d,%d,%dx%d", &o.plotX, &o.plotY, &o.plotW, &o.plotH) != 4)
                die("--plot wants X,Y,WxH");
        } else if (a == "--")
            continue;
        else if (!a.empty() && a[0] == '-')
            die("unknown option " + a);
        else
            o.program = a;
    }
    if (o.program.empty())
        die("usage: perf_probe [--seconds S] [--settle S] [--shot-interval S] [--trace N] [--dump DIR] "
            "[--server-pid PID] [--plot X,Y,WxH] PROGRAM");
    return o;
}

} // namespace

int main(int argc, char **argv)
{
    const Options opt = parse(argc, argv);
    Display display;
    xcb_connection_t *c = display.conn();
    const long ticksPerSecond = sysconf(_SC_CLK_TCK);

    const double started = now();
    const pid_t child = fork();
    if (child < 0)
        die(std::string("fork: ") + std::strerror(errno));
    if (child == 0) {
        // The program runs on this display through the toolkit's X11 backend,
        // whatever the calling shell had chosen for tests.
        unsetenv("QT_QPA_PLATFORM");
        unsetenv("WAYLAND_DISPLAY");
        execl(opt.program.c_str(), opt.program.c_str(), static_cast<char *>(nullptr));
        std::fprintf(stderr, "perf_probe: exec %s: %s\n", opt.program.c_str(), std::strerror(errno));
        _exit(127);
    }

    auto finish = [&](int code) {
        kill(child, SIGTERM);
        int status = 0;
        waitpid(child, &status, 0);
        std::exit(code);
    };

    xcb_window_t target = XCB_WINDOW_NONE;
    double mappedAt = -1, firstFrameAt = -1;
    std::pair<double, double> startupSched;
    int traced = 0;

    // One drawing request reports each rectangle it damaged as one event,
    // the last without the "more" flag. A request is one update of the
    // screen; that a frame is exactly one update shows in the counts: as many
    // events as requests, each covering the plot area and nothing else.
    std::vector<double> updateTimes; // wall clock, in the measuring window
    long eventsInWindow = 0, otherRectsInWindow = 0;

    double windowStart = -1, windowEnd = -1;
    // What the window's two ends read of the program and the X server.
    struct Reading {
        long long cpu = 0, serverCpu = 0;
        std::pair<double, double> sched, serverSched;
        long rss = 0;
    };
    auto read = [&] {
        Reading r;
        r.cpu = cpuTicks(child).value_or(0);
        if (opt.serverPid) {
            r.serverCpu = cpuTicks(opt.serverPid).value_or(0);
            r.serverSched = schedTimes(opt.serverPid);
        }
        r.rss = statusKb(child, "VmRSS").value_or(0);
        r.sched = schedTimes(child);
        return r;
    };
    Reading atStart, atEnd;
    long rssMid = 0, rssPeak = 0;
    std::vector<Shot> shots;
    double nextShot = -1;
    std::thread sleeper;
    std::vector<double> lateness;

    auto inspect = [&](double when) {
        auto pixels = display.grab(target, opt.plotX, opt.plotY, opt.plotW, opt.plotH);
        if (firstFrameAt < 0 && showsFrame(pixels)) {
            firstFrameAt = when;
            startupSched = schedTimes(child);
        }
        if (!opt.dumpDir.empty())
            writePpm(opt.dumpDir + "/first.ppm", pixels, opt.plotW, opt.plotH);
        return pixels;
    };

    const double deadlineFirstFrame = started + 15.0;
    for (;;) {
        const double t = now();
        if (firstFrameAt < 0 && t > deadlineFirstFrame) {
            std::fprintf(stderr, "perf_probe: no frame of '%s' within 15 s\n", opt.caption.c_str());
            finish(1);
        }
        if (firstFrameAt >= 0 && windowStart < 0 && t >= firstFrameAt + opt.settleSeconds) {
            windowStart = t;
            atStart = read();
            nextShot = windowStart + std::min(opt.shotInterval, opt.windowSeconds) * 0.5;
            sleeper = std::thread([&lateness, until = windowStart + opt.windowSeconds] {
                lateness = sleepLateness(until);
            });
        }
        // Halfway, to tell memory that keeps growing from caches that fill up
        // in the first seconds and then stay.
        if (windowStart >= 0 && rssMid == 0 && t >= windowStart + opt.windowSeconds / 2)
            rssMid = statusKb(child, "VmRSS").value_or(0);
        if (windowStart >= 0 && t >= windowStart + opt.windowSeconds) {
            windowEnd = t;
            atEnd = read();
            rssPeak = statusKb(child, "VmHWM").value_or(0);
            break;
        }

        int waitStatus = 0;
        if (waitpid(child, &waitStatus, WNOHANG) == child) {
            std::fprintf(stderr, "perf_probe: the program ended early (status %d)\n", waitStatus);
            std::exit(1);
        }

        pollfd pfd {display.fd(), POLLIN, 0};
        poll(&pfd, 1, 5);
        while (xcb_generic_event_t *ev = xcb_poll_for_event(c)) {
            const double when = now();
            const uint8_t type = ev->response_type & 0x7f;
            if (type == XCB_CREATE_NOTIFY) {
                auto *e = reinterpret_cast<xcb_create_notify_event_t *>(ev);
                if (e->parent == display.root())
                    display.watch(e->window);
            } else if (type == XCB_MAP_NOTIFY && target == XCB_WINDOW_NONE) {
                auto *e = reinterpret_cast<xcb_map_notify_event_t *>(ev);
                if (display.caption(e->window) == opt.caption) {
                    target = e->window;
                    mappedAt = when;
                    // The first frame may already be on screen if its damage
                    // came before the window was known.
                    inspect(when);
                }
            } else if (type == display.damageNotify()) {
                auto *e = reinterpret_cast<xcb_damage_notify_event_t *>(ev);
                if (e->drawable == target) {
                    const bool more = e->level & 0x80;
                    if (traced < opt.traceEvents) {
                        ++traced;
                        std::printf("trace: t=%.4f server=%u rect=%d,%d,%ux%u more=%d\n", when - started, e->timestamp,
                            e->area.x, e->area.y, e->area.width, e->area.height, int(more));
                    }
                    const bool inWindow = windowStart >= 0;
                    if (inWindow) {
                        ++eventsInWindow;
                        otherRectsInWindow += e->area.x != opt.plotX || e->area.y != opt.plotY
                            || e->area.width != opt.plotW || e->area.height != opt.plotH;
                        if (!more)
                            updateTimes.push_back(when);
                    }
                    if (firstFrameAt < 0 && !more)
                        inspect(when);
                    else if (inWindow && !more && nextShot >= 0 && when >= nextShot) {
                        // Straight after an update, so the shot shows the frame
                        // that has just been presented.
                        auto pixels = display.grab(target, opt.plotX, opt.plotY, opt.plotW, opt.plotH);
                        if (auto crest = greenCrest(pixels, opt.plotW, opt.plotH))
                            shots.push_back({when - windowStart, *crest, statusKb(child, "VmRSS").value_or(0)});
                        if (!opt.dumpDir.empty()) {
                            char name[64];
                            std::snprintf(name, sizeof name, "/shot-%02zu.ppm", shots.size());
                            writePpm(opt.dumpDir + name, pixels, opt.plotW, opt.plotH);
                        }
                        nextShot += opt.shotInterval;
                    }
                }
            }
            free(ev);
        }
        if (xcb_connection_has_error(c))
            die("lost the X connection");
    }

    const double window = windowEnd - windowStart;
    std::printf("clk_tck=%ld\n", ticksPerSecond);
    std::printf("map_ms=%.1f\n", (mappedAt - started) * 1000);
    std::printf("first_frame_ms=%.1f\n", (firstFrameAt - started) * 1000);
    std::printf(
        "first_frame_cpu_ms=%.1f\nfirst_frame_wait_ms=%.1f\n", startupSched.first * 1000, startupSched.second * 1000);
    std::printf("window_s=%.3f\n", window);
    std::printf("window_cpu_s=%.4f\nwindow_wait_s=%.4f\n", atEnd.sched.first - atStart.sched.first,
        atEnd.sched.second - atStart.sched.second);
    std::printf("cpu_ticks=%lld\n", atEnd.cpu - atStart.cpu);
    std::printf("cpu_percent=%.2f\n", 100.0 * double(atEnd.cpu - atStart.cpu) / double(ticksPerSecond) / window);
    if (opt.serverPid) {
        std::printf("server_cpu_percent=%.2f\n",
            100.0 * double(atEnd.serverCpu - atStart.serverCpu) / double(ticksPerSecond) / window);
        std::printf("server_wait_s=%.4f\n", atEnd.serverSched.second - atStart.serverSched.second);
    }
    std::printf(
        "rss_start_kb=%ld\nrss_mid_kb=%ld\nrss_end_kb=%ld\nrss_peak_kb=%ld\n", atStart.rss, rssMid, atEnd.rss, rssPeak);
    std::printf("damage_events=%ld\ndamage_other_rects=%ld\n", eventsInWindow, otherRectsInWindow);
    std::printf("updates=%zu\n", updateTimes.size());
    if (updateTimes.size() > 1) {
        // From first to last update, so that the window's edges, which fall
        // anywhere between two frames, do not count.
        std::printf("fps=%.3f\n", double(updateTimes.size() - 1) / (updateTimes.back() - updateTimes.front()));
        double maxGap = 0;
        long late = 0;
        for (std::size_t i = 1; i < updateTimes.size(); ++i) {
            const double gap = updateTimes[i] - updateTimes[i - 1];
            maxGap = std::max(maxGap, gap);
            late += gap > 0.045;
        }
        std::printf("mean_interval_ms=%.3f\nmax_interval_ms=%.3f\nintervals_over_45ms=%ld\n",
            (updateTimes.back() - updateTimes.front()) / double(updateTimes.size() - 1) * 1000, maxGap * 1000, late);
    }
    if (sleeper.joinable()) {
        sleeper.join();
        std::sort(lateness.begin(), lateness.end());
        if (!lateness.empty()) {
            const long over = std::count_if(lateness.begin(), lateness.end(), [](double l) {
                return l > 0.005;
            });
            std::printf("sleeps=%zu\nsleeps_late_over_5ms=%ld\nsleep_late_max_ms=%.1f\n", lateness.size(), over,
                lateness.back() * 1000);
        }
    }
    for (std::size_t i = 0; i < shots.size(); ++i)
        std::printf("shot=%zu wall=%.4f crest_px=%.3f rss_kb=%ld\n", i, shots[i].wall, shots[i].crest, shots[i].rssKb);
    if (shots.size() >= 2) {
        const auto [slope, rms] = fitLine(shots);
        std::printf("crest_px_per_s=%.4f\ncrest_fit_rms_px=%.3f\n", slope, rms);
    }

    kill(child, SIGTERM);
    int status = 0;
    waitpid(child, &status, 0);
    return 0;
}
