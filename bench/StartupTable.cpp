// Start-up time and memory of a program, measured from outside the way a
// learner experiences them, and printed as one table:
//   - first window mapped: process start until the X server maps the
//     program's first top-level window;
//   - first frame on screen: until that window shows a drawn scene (its
//     pixels, read back from the server, are no longer one flat colour);
//   - private memory: Pss_Anon of the process 5 s after its start.
// Each run starts the program with fresh XDG folders; the table gives the
// median and range over the runs.
//
//   startup_table [--runs N] [--server] [--visits N] PROGRAM [ARGS...]
//
// --server starts an update page on 127.0.0.1 that answers at once and
// passes "--update-url URL" to the program (the start-up probe accepts it).
// --visits N passes "--visits N" too and also reads Pss_Anon when the
// program prints VISITS_DONE (the probe opens and closes each activity N
// times).

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <netinet/in.h>
#include <optional>
#include <poll.h>
#include <signal.h>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>
#include <xcb/xcb.h>

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// A page server for the update check: every connection gets the same
// short page at once.
class TUpdatePageServer {
public:
    TUpdatePageServer() {
        FSocket = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = 0;
        const int yes = 1;
        setsockopt(FSocket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        if (bind(FSocket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            listen(FSocket, 16) != 0) {
            std::perror("update page server");
            std::exit(2);
        }
        socklen_t length = sizeof address;
        getsockname(FSocket, reinterpret_cast<sockaddr*>(&address), &length);
        FPort = ntohs(address.sin_port);
        FThread = std::thread([this] { Serve(); });
    }
    ~TUpdatePageServer() {
        FStop = true;
        shutdown(FSocket, SHUT_RDWR);
        close(FSocket);
        FThread.join();
    }
    std::string Url() const {
        return "http://127.0.0.1:" + std::to_string(FPort) + "/ravlin_update.html";
    }

private:
    void Serve() {
        static const char kResponse[] = "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n"
                                        "Connection: close\r\n\r\n"
                                        "<html><body>@@@@@@3.6######</body></html>";
        while (!FStop) {
            const int client = accept(FSocket, nullptr, nullptr);
            if (client < 0)
                continue;
            char request[4096];
            (void)!read(client, request, sizeof request);
            (void)!write(client, kResponse, sizeof kResponse - 1);
            close(client);
        }
    }

    int FSocket = -1;
    int FPort = 0;
    std::atomic<bool> FStop{false};
    std::thread FThread;
};

// Pss_Anon of a process in kB; -1 when it cannot be read.
long PssAnonKb(pid_t pid) {
    const std::string path = "/proc/" + std::to_string(pid) + "/smaps_rollup";
    FILE* file = std::fopen(path.c_str(), "r");
    if (!file)
        return -1;
    char line[256];
    long kb = -1;
    while (std::fgets(line, sizeof line, file))
        if (std::sscanf(line, "Pss_Anon: %ld kB", &kb) == 1)
            break;
    std::fclose(file);
    return kb;
}

struct TRunResult {
    double MappedMs = -1;
    double FrameMs = -1;
    long PssAnonKb = -1;
    long PssAnonAfterVisitsKb = -1;
};

class TXConnection {
public:
    TXConnection() {
        FConnection = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(FConnection)) {
            std::fprintf(stderr, "cannot open the X display\n");
            std::exit(2);
        }
        FRoot = xcb_setup_roots_iterator(xcb_get_setup(FConnection)).data->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(FConnection, FRoot, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(FConnection);
    }
    ~TXConnection() { xcb_disconnect(FConnection); }

    // A top-level window mapped since the last call, larger than a
    // stand-in (Qt maps no helper windows, but a tiny one is no menu).
    std::optional<xcb_window_t> NextMappedWindow() {
        while (xcb_generic_event_t* event = xcb_poll_for_event(FConnection)) {
            std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> owned(event, &std::free);
            if ((event->response_type & 0x7F) != XCB_MAP_NOTIFY)
                continue;
            const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event);
            if (map->event != FRoot)
                continue;
            const auto geometry = Reply(xcb_get_geometry_reply(
                FConnection, xcb_get_geometry(FConnection, map->window), nullptr));
            if (geometry && geometry->width > 100 && geometry->height > 100)
                return map->window;
        }
        return std::nullopt;
    }

    // Whether the window shows more than one flat colour, judged on three
    // rows across its width (reading the whole window each time would cost
    // more than the frame being waited for).
    bool ShowsScene(xcb_window_t window) {
        const auto geometry = Reply(
            xcb_get_geometry_reply(FConnection, xcb_get_geometry(FConnection, window), nullptr));
        if (!geometry)
            return false;
        std::vector<uint32_t> colours;
        for (int part = 1; part <= 3; ++part) {
            const int16_t y = int16_t(geometry->height * part / 4);
            const auto image =
                Reply(xcb_get_image_reply(FConnection,
                                          xcb_get_image(FConnection, XCB_IMAGE_FORMAT_Z_PIXMAP,
                                                        window, 0, y, geometry->width, 1, ~0u),
                                          nullptr));
            if (!image || image->depth < 24)
                return false;
            const int length = xcb_get_image_data_length(image.get()) / 4;
            const auto* pixels = reinterpret_cast<const uint32_t*>(xcb_get_image_data(image.get()));
            for (int i = 0; i < length; i += 7)
                colours.push_back(pixels[i] & 0xFFFFFF);
        }
        std::sort(colours.begin(), colours.end());
        return std::unique(colours.begin(), colours.end()) - colours.begin() > 16;
    }

private:
    template <typename T> static std::unique_ptr<T, decltype(&std::free)> Reply(T* reply) {
        return {reply, &std::free};
    }

    xcb_connection_t* FConnection = nullptr;
    xcb_window_t FRoot = 0;
};

std::string MakeTempDir() {
    char pattern[] = "/tmp/ravlin-startup-XXXXXX";
    const char* made = mkdtemp(pattern);
    return made ? made : "/tmp";
}

TRunResult RunOnce(TXConnection& x, const std::vector<std::string>& command, bool visits) {
    const std::string home = MakeTempDir();
    for (const char* sub : {"/data", "/config", "/cache"})
        mkdir((home + sub).c_str(), 0700);

    int output[2];
    if (pipe(output) != 0)
        std::exit(2);
    const Clock::time_point start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        setenv("XDG_DATA_HOME", (home + "/data").c_str(), 1);
        setenv("XDG_CONFIG_HOME", (home + "/config").c_str(), 1);
        setenv("XDG_CACHE_HOME", (home + "/cache").c_str(), 1);
        dup2(output[1], STDOUT_FILENO);
        close(output[0]);
        std::vector<char*> argv;
        for (const std::string& arg : command)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        std::_Exit(127);
    }
    close(output[1]);
    fcntl(output[0], F_SETFL, O_NONBLOCK);

    TRunResult result;
    std::optional<xcb_window_t> window;
    std::string printed;
    const double memoryAt = 5000;
    while (MsSince(start) < 60000) {
        if (!window) {
            window = x.NextMappedWindow();
            if (window)
                result.MappedMs = MsSince(start);
        } else if (result.FrameMs < 0 && x.ShowsScene(*window)) {
            result.FrameMs = MsSince(start);
        }
        char buffer[256];
        const ssize_t n = read(output[0], buffer, sizeof buffer);
        if (n > 0)
            printed.append(buffer, size_t(n));
        if (result.PssAnonKb < 0 && MsSince(start) >= memoryAt)
            result.PssAnonKb = PssAnonKb(pid);
        if (visits && result.PssAnonAfterVisitsKb < 0 &&
            printed.find("VISITS_DONE") != std::string::npos)
            result.PssAnonAfterVisitsKb = PssAnonKb(pid);
        const bool done = result.FrameMs >= 0 && result.PssAnonKb >= 0 &&
                          (!visits || result.PssAnonAfterVisitsKb >= 0);
        if (done || waitpid(pid, nullptr, WNOHANG) == pid)
            break;
        usleep(1000);
    }
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    close(output[0]);
    std::system(("rm -rf '" + home + "'").c_str());
    return result;
}

std::string Column(std::vector<double> values, const char* format) {
    values.erase(std::remove_if(values.begin(), values.end(), [](double v) { return v < 0; }),
                 values.end());
    if (values.empty())
        return "n/a";
    std::sort(values.begin(), values.end());
    char text[96];
    const double median = values[values.size() / 2];
    std::snprintf(text, sizeof text, format, median, values.front(), values.back());
    return text;
}

} // namespace

int main(int argc, char** argv) {
    int runs = 5;
    bool server = false;
    int visits = 0;
    int first = 1;
    for (; first < argc && std::strncmp(argv[first], "--", 2) == 0; ++first) {
        if (!std::strcmp(argv[first], "--runs") && first + 1 < argc)
            runs = std::max(1, std::atoi(argv[++first]));
        else if (!std::strcmp(argv[first], "--server"))
            server = true;
        else if (!std::strcmp(argv[first], "--visits") && first + 1 < argc)
            visits = std::max(0, std::atoi(argv[++first]));
    }
    if (first >= argc) {
        std::fprintf(stderr, "usage: %s [--runs N] [--server] [--visits N] PROGRAM [ARGS...]\n",
                     argv[0]);
        return 2;
    }
    signal(SIGPIPE, SIG_IGN);
    std::vector<std::string> command(argv + first, argv + argc);
    std::unique_ptr<TUpdatePageServer> page;
    if (server) {
        page = std::make_unique<TUpdatePageServer>();
        command.push_back("--update-url");
        command.push_back(page->Url());
    }
    if (visits > 0) {
        command.push_back("--visits");
        command.push_back(std::to_string(visits));
    }

    TXConnection x;
    std::vector<double> mapped, frame, memory, afterVisits;
    for (int i = 0; i < runs; ++i) {
        const TRunResult r = RunOnce(x, command, visits > 0);
        mapped.push_back(r.MappedMs);
        frame.push_back(r.FrameMs);
        memory.push_back(r.PssAnonKb / 1024.0);
        afterVisits.push_back(r.PssAnonAfterVisitsKb / 1024.0);
        std::fprintf(stderr, "run %d: mapped %.0f ms, frame %.0f ms, Pss_Anon %.1f MB\n", i + 1,
                     r.MappedMs, r.FrameMs, r.PssAnonKb / 1024.0);
    }

    std::printf("%s%s, %d runs (median, min-max)\n", command[0].c_str(),
                server ? " with a local update page" : "", runs);
    std::printf("| first window mapped | first frame on screen | Pss_Anon at 5 s |%s\n",
                visits ? " Pss_Anon after visits |" : "");
    std::printf("|---|---|---|%s\n", visits ? "---|" : "");
    std::printf("| %s | %s | %s |", Column(mapped, "%.0f ms (%.0f-%.0f)").c_str(),
                Column(frame, "%.0f ms (%.0f-%.0f)").c_str(),
                Column(memory, "%.1f MB (%.1f-%.1f)").c_str());
    if (visits)
        std::printf(" %s |", Column(afterVisits, "%.1f MB (%.1f-%.1f)").c_str());
    std::printf("\n");
    return 0;
}
