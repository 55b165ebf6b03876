// vorlin serve: the web service and its page, over cpp-httplib.
#include <httplib.h>
#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <mutex>
#include <string>
#include <thread>

#include "command_table.h"
#include "commands.h"
#include "options.h"
#include "output.h"
#include "page_files.h"
#include "places.h"
#include "service.h"
#include "vorlin.h"

namespace vorlin::service {

const PageFile *FindPageFile(const std::string &path) {
    const std::string file = path == "/" ? "/index.html" : path;
    for (const PageFile &f : kPageFiles)
        if (file == f.path) return &f;
    return nullptr;
}

namespace {

struct ServeOptions {
    std::string pageDir;  // the page's files read from here instead (--page-dir)
    std::string host = "127.0.0.1";
    int port = 8080;
    int threads = 0;  // 0: one per core, at least 4
    bool accessLog = true;
};

// Requests on one connection before it is handed back: small, so that more
// clients than threads take turns (a thread serves one connection at a time).
constexpr std::size_t KeepAliveRequests = 20;

thread_local std::chrono::steady_clock::time_point requestStart;
std::mutex logMutex;

// "127.0.0.1 - - [08/Dec/2026:21:50:11 +0000] "GET /v1/times?city=London HTTP/1.1" 200 5123 1.234 ms"
void LogRequest(const httplib::Request &req, const httplib::Response &res) {
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - requestStart).count();
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    char when[40];
    std::strftime(when, sizeof when, "%d/%b/%Y:%H:%M:%S +0000", &utc);
    std::string target = req.target.empty() ? req.path : req.target;
    for (char &c : target)
        if (static_cast<unsigned char>(c) < 0x20 || c == '"' || c == 0x7F) c = '?';
    if (target.size() > 512) target = target.substr(0, 512) + "...";
    const std::lock_guard<std::mutex> lock(logMutex);
    std::fprintf(stderr, "%s - - [%s] \"%s %s %s\" %d %zu %.3f ms\n", req.remote_addr.c_str(), when,
                 req.method.c_str(), target.c_str(), req.version.c_str(), res.status, res.body.size(), ms);
}

// Headers every answer carries (once).
void CommonHeaders(httplib::Response &res) {
    if (res.has_header("Access-Control-Allow-Origin")) return;
    res.set_header("Access-Control-Allow-Origin", "*");
    res.set_header("Access-Control-Expose-Headers", "ETag, X-Vorlin-Note");
    res.set_header("X-Content-Type-Options", "nosniff");
}

// The body with its validator; 304 when the client has it already.
void SendBody(const httplib::Request &req, httplib::Response &res, int status, std::string body,
              const std::string &contentType) {
    const std::string tag = EntityTag(body);
    res.set_header("ETag", tag);
    if (status == 200 && req.has_header("If-None-Match")) {
        const std::string match = req.get_header_value("If-None-Match");
        if (match == "*" || match.find(tag) != std::string::npos) {
            res.status = 304;
            return;
        }
    }
    res.status = status;
    res.set_content(std::move(body), contentType.c_str());
}

std::string pageDir;  // set before the server starts

// The bytes of a page file: embedded, or read from --page-dir (only the
// embedded files' names, so no other file can be reached).
bool PageBytes(const PageFile &file, std::string &bytes) {
    if (pageDir.empty()) {
        bytes.assign(reinterpret_cast<const char *>(file.data), file.size);
        return true;
    }
    std::FILE *in = std::fopen((pageDir + file.path).c_str(), "rb");
    if (in == nullptr) return false;
    char buffer[65536];
    std::size_t n = 0;
    bytes.clear();
    while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0 && bytes.size() < (16u << 20)) bytes.append(buffer, n);
    std::fclose(in);
    return true;
}

void Handle(const httplib::Request &req, httplib::Response &res) {
    CommonHeaders(res);
    if (const PageFile *file = FindPageFile(req.path)) {
        std::string bytes;
        if (PageBytes(*file, bytes)) {
            res.set_header("Cache-Control", pageDir.empty() ? "public, max-age=300" : "no-store");
            res.set_header("Content-Security-Policy",
                           "default-src 'self'; img-src 'self' data:; style-src 'self'; script-src 'self'; "
                           "connect-src 'self'; frame-ancestors 'none'");
            SendBody(req, res, 200, std::move(bytes), file->contentType);
            return;
        }
    }
    Params params(req.params.begin(), req.params.end());
    Reply reply = Answer(req.path, params);
    for (const auto &[name, value] : reply.headers) res.set_header(name.c_str(), value);
    SendBody(req, res, reply.status, std::move(reply.body), reply.contentType);
}

void NotAllowed(httplib::Response &res) {
    CommonHeaders(res);
    res.set_header("Allow", "GET, HEAD");
    res.status = 405;
    res.set_content("{\n  \"error\": \"only GET and HEAD\"\n}\n", "application/json");
}

ServeOptions ParseServeOptions(int argc, char **argv, int first) {
    std::vector<std::pair<std::string, std::string>> own;
    cli::ParseRequest(argc, argv, first, cli::OwnFlagsOf("serve"), &own);
    ServeOptions options;
    for (const auto &[flag, value] : own) {
        if (flag == "--help") {
            cli::Out(
                "usage: vorlin serve [--host ADDRESS] [--port N] [--threads N] [--quiet] [--page-dir DIR]\n"
                "Serves the prayer times over HTTP: a JSON API under /v1/ (its description\n"
                "at /v1/openapi.json) whose answers are this program's own JSON, CSV and\n"
                "iCalendar documents for the same requests (the parameters are the flags\n"
                "without their dashes: /v1/times?city=London&method=ISNA&month=2025-03),\n"
                "/healthz, and a page at / (today's times, the month, the Hijri date, the\n"
                "qibla and the Moon).  Only GET and HEAD; every answer may be cached by\n"
                "its ETag.  One access-log line per request on stderr (--quiet: none).\n"
                "Stops cleanly on SIGTERM or SIGINT.  Default: 127.0.0.1:8080, threads eight\n"
                "per core (at least 16).  --port 0 takes a free port (printed).  --page-dir\n"
                "serves the page's index.html, app.js and style.css from DIR instead of the\n"
                "copies built in (to work on the page).\n");
            std::exit(0);
        }
        if (flag == "--host") options.host = value;
        if (flag == "--port") {
            options.port = cli::ParseInteger("--port", value);
            if (options.port < 0 || options.port > 65535) throw cli::UsageError("--port: from 0 to 65535, not '" + value + "'");
        }
        if (flag == "--threads") {
            options.threads = cli::ParseInteger("--threads", value);
            if (options.threads < 1 || options.threads > 1024)
                throw cli::UsageError("--threads: from 1 to 1024, not '" + value + "'");
        }
        if (flag == "--quiet") options.accessLog = false;
        if (flag == "--page-dir") options.pageDir = value;
    }
    if (options.threads == 0) {
        // A thread serves one connection at a time (keep-alive included),
        // so there are more threads than cores.
        const unsigned cores = std::thread::hardware_concurrency();
        options.threads = cores < 2 ? 16 : static_cast<int>(8 * cores);
    }
    return options;
}

}  // namespace

}  // namespace vorlin::service

namespace vorlin::cli {

int RunServe(int argc, char **argv, int first) {
    using namespace vorlin::service;
    const ServeOptions options = ParseServeOptions(argc, argv, first);
    // Answers depend on the request alone, not on this user's defaults.
    SetUseConfigFile(false);
    pageDir = options.pageDir;

    // SIGTERM and SIGINT are taken by one thread, which stops the server;
    // the others (created after this) never see them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    signal(SIGPIPE, SIG_IGN);

    httplib::Server server;
    const int threads = options.threads;
    server.new_task_queue = [threads] { return new httplib::ThreadPool(static_cast<size_t>(threads)); };
    // Answers go out at once (no Nagle delay between the headers and the
    // body, which cost 40 ms a request).
    server.set_tcp_nodelay(true);
    server.set_payload_max_length(1024);  // GET and HEAD carry no body
    server.set_read_timeout(10, 0);
    server.set_write_timeout(10, 0);
    server.set_keep_alive_max_count(KeepAliveRequests);
    // An idle connection holds its thread no more than 2 s.
    server.set_keep_alive_timeout(2);
    // Other methods are refused before any body is read.
    server.set_pre_routing_handler([](const httplib::Request &req, httplib::Response &res) {
        requestStart = std::chrono::steady_clock::now();
        if (req.method == "GET" || req.method == "HEAD") return httplib::Server::HandlerResponse::Unhandled;
        NotAllowed(res);
        return httplib::Server::HandlerResponse::Handled;
    });
    if (options.accessLog) server.set_logger(LogRequest);
    server.Get(".*", Handle);
    server.set_error_handler([](const httplib::Request &, httplib::Response &res) {
        CommonHeaders(res);
        if (res.body.empty()) {
            const std::string message = res.status == 413   ? "request too large"
                                        : res.status == 414 ? "request target too long"
                                                            : "bad request";
            res.set_content("{\n  \"error\": \"" + message + "\"\n}\n", "application/json");
        }
    });

    int port = options.port;
    if (port == 0) {
        port = server.bind_to_any_port(options.host);
        if (port < 0) {
            std::fprintf(stderr, "vorlin: serve: cannot listen on %s\n", options.host.c_str());
            return 1;
        }
    } else if (!server.bind_to_port(options.host, port)) {
        std::fprintf(stderr, "vorlin: serve: cannot listen on %s:%d\n", options.host.c_str(), port);
        return 1;
    }
    std::fprintf(stderr, "vorlin %s: listening on http://%s:%d/ with %d threads\n%s\n", VORLIN_VERSION,
                 options.host.c_str(), port, threads, frontend::PlaceDataCredit);
    std::fflush(stderr);

    std::atomic<bool> stopping{false};
    std::thread stopper([&server, &stopSignals, &stopping] {
        int signal = 0;
        sigwait(&stopSignals, &signal);
        stopping = true;
        server.stop();
    });
    const bool served = server.listen_after_bind();
    if (!stopping) {
        // The listener ended by itself: let the signal thread go too.
        pthread_kill(stopper.native_handle(), SIGTERM);
    }
    stopper.join();
    std::fprintf(stderr, "vorlin: serve: stopped\n");
    return served || stopping ? 0 : 1;
}

}  // namespace vorlin::cli
