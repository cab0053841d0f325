// A local HTTP server for the Wine tests (http_recorder.py), started by the
// test on 127.0.0.1 at a free port: Wine's WinHTTP reaches the host's
// loopback, and every request the program sends is recorded.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "wine_harness.h"

extern char** environ;

namespace palisade::wine {

struct RecordedRequest {
    std::string method;  // "CONNECT" for a connection a silent server never answered
    std::string path;
    std::string userAgent;
    std::string contentType;
    std::string body;
};

class HttpRecorder {
public:
    // `silent`: accept connections and never answer.
    explicit HttpRecorder(bool silent = false) {
        static int counter = 0;
        m_record = ArtefactDir() / ("http-" + std::to_string(::getpid()) + "-" + std::to_string(++counter) + ".txt");
        std::string script = std::string(PALISADE_SOURCE_DIR) + "/tests/wine/http_recorder.py";
        std::string mode = silent ? "silent" : "answer";
        std::string record = m_record.string();
        std::vector<char*> argv = {const_cast<char*>("python3"), script.data(), record.data(), mode.data(), nullptr};
        int pipeEnds[2];
        if (::pipe(pipeEnds) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 1);
        posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
        if (posix_spawnp(&m_pid, "python3", &actions, nullptr, argv.data(), ::environ) != 0) m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(pipeEnds[1]);
        FILE* out = ::fdopen(pipeEnds[0], "r");
        char line[32] = {};
        if (out && std::fgets(line, sizeof line, out)) m_port = std::atoi(line);
        if (out) std::fclose(out);
    }
    ~HttpRecorder() {
        if (m_pid > 0) {
            ::kill(m_pid, SIGTERM);
            ::waitpid(m_pid, nullptr, 0);
        }
    }
    HttpRecorder(const HttpRecorder&) = delete;
    HttpRecorder& operator=(const HttpRecorder&) = delete;

    int Port() const { return m_port; }
    std::string Address(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(m_port) + path;
    }

    std::vector<RecordedRequest> Requests() const {
        std::vector<RecordedRequest> requests;
        std::ifstream in(m_record);
        std::string line;
        while (std::getline(in, line)) {
            std::vector<std::string> fields;
            std::stringstream split(line);
            std::string field;
            while (std::getline(split, field, '\t')) fields.push_back(field);
            fields.resize(5);
            requests.push_back({fields[0], fields[1], fields[2], fields[3], FromHex(fields[4])});
        }
        return requests;
    }

    // Waits up to `timeout` for at least `count` requests.
    std::vector<RecordedRequest> WaitFor(std::size_t count, std::chrono::seconds timeout) const {
        auto end = std::chrono::steady_clock::now() + timeout;
        std::vector<RecordedRequest> requests = Requests();
        while (requests.size() < count && std::chrono::steady_clock::now() < end) {
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            requests = Requests();
        }
        return requests;
    }

private:
    static std::string FromHex(const std::string& hex) {
        std::string bytes;
        for (std::size_t i = 0; i + 1 < hex.size(); i += 2) bytes += char(std::stoi(hex.substr(i, 2), nullptr, 16));
        return bytes;
    }

    std::filesystem::path m_record;
    pid_t m_pid = -1;
    int m_port = 0;
};

}  // namespace palisade::wine
