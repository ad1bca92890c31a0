// The loopback test server: one acceptor thread, one thread per connection, non-blocking sockets polled with
// short waits so that the destructor can stop every thread promptly.
#include "tests/support/loopback_server.h"

#include <ws2tcpip.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <stdexcept>
#include <utility>

namespace {

constexpr int kPollMilliseconds = 50;
constexpr size_t kMaxRequestHead = 1 << 20;

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

// Calls `visit(name, value)` for every header line until it returns false.
template <typename Visit>
void ForEachHeader(std::string_view headers, Visit visit) {
    while (!headers.empty()) {
        const size_t end = headers.find("\r\n");
        const std::string_view line = headers.substr(0, end);
        const size_t colon = line.find(':');
        if (colon != std::string_view::npos &&
            !visit(Trimmed(line.substr(0, colon)), Trimmed(line.substr(colon + 1)))) {
            return;
        }
        if (end == std::string_view::npos) return;
        headers.remove_prefix(end + 2);
    }
}

// Winsock for the lifetime of the holder.
struct WinsockSession {
    WinsockSession() {
        WSADATA data;
        if (WSAStartup(MAKEWORD(2, 2), &data) != 0) throw std::runtime_error("WSAStartup failed");
    }
    ~WinsockSession() { WSACleanup(); }
};

// A TCP socket bound to 127.0.0.1 on `port`, or on an ephemeral port when it is 0; `port` receives the port.
SOCKET BoundLoopbackSocket(int& port) {
    const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) throw std::runtime_error("socket failed");
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<u_short>(port));
    // A port of the caller's own may still hold connections of a server before this one.
    const BOOL reuse = port != 0;
    setsockopt(s, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&reuse), sizeof reuse);
    int length = sizeof address;
    if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        closesocket(s);
        throw std::runtime_error("bind on 127.0.0.1 failed");
    }
    port = ntohs(address.sin_port);
    return s;
}

// A non-blocking socket listening on 127.0.0.1 on `port` (an ephemeral one for 0).
SOCKET ListeningLoopbackSocket(int& port) {
    const SOCKET s = BoundLoopbackSocket(port);
    u_long non_blocking = 1;
    if (listen(s, SOMAXCONN) != 0 || ioctlsocket(s, FIONBIO, &non_blocking) != 0) {
        closesocket(s);
        throw std::runtime_error("listen failed");
    }
    return s;
}

}  // namespace

std::string ReceivedRequest::Header(std::string_view name) const {
    std::string found;
    ForEachHeader(headers, [&](std::string_view header, std::string_view value) {
        if (!SameNameIgnoringCase(header, name)) return true;
        found = value;
        return false;
    });
    return found;
}

int ReceivedRequest::HeaderCount(std::string_view name) const {
    int count = 0;
    ForEachHeader(headers, [&](std::string_view header, std::string_view) {
        count += SameNameIgnoringCase(header, name);
        return true;
    });
    return count;
}

LoopbackServer::LoopbackServer(Reply reply)
    : LoopbackServer([reply](const ReceivedRequest&) { return reply; }) {}

LoopbackServer::LoopbackServer(Handler handler, int port) : handler_(std::move(handler)), port_(port) {
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) throw std::runtime_error("WSAStartup failed");
    try {
        listener_ = ListeningLoopbackSocket(port_);
    } catch (...) {
        WSACleanup();
        throw;
    }
    acceptor_ = std::thread(&LoopbackServer::Accept, this);
}

LoopbackServer::~LoopbackServer() {
    stopping_ = true;
    acceptor_.join();
    for (std::thread& connection : connections_) connection.join();
    closesocket(listener_);
    WSACleanup();
}

std::string LoopbackServer::Url(std::string_view path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
}

std::vector<ReceivedRequest> LoopbackServer::Requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

int LoopbackServer::UnusedPort() {
    const WinsockSession winsock;
    int port = 0;
    closesocket(BoundLoopbackSocket(port));
    return port;
}

void LoopbackServer::Accept() {
    while (Wait(listener_, false)) {
        const SOCKET client = accept(listener_, nullptr, nullptr);
        if (client == INVALID_SOCKET) continue;
        u_long non_blocking = 1;
        ioctlsocket(client, FIONBIO, &non_blocking);
        connections_.emplace_back(&LoopbackServer::Serve, this, client);
    }
}

void LoopbackServer::Serve(SOCKET client) {
    ReceivedRequest request;
    if (ReadRequest(client, request)) {
        {
            std::lock_guard lock(mutex_);
            requests_.push_back(request);
            most_answering_ = std::max(most_answering_.load(), ++answering_);
        }
        // A request counts as answered once its reply is sent, not when the client gets round to closing.
        bool answering = true;
        auto answered = [&] {
            if (std::exchange(answering, false)) --answering_;
        };
        const Reply reply = handler_(request);
        if (Pause(reply.delay_ms)) {
            std::string head = "HTTP/1.1 " + reply.status + "\r\n" + reply.headers;
            switch (reply.kind) {
                case Reply::Kind::kAnswer:
                    head += "Content-Length: " + std::to_string(reply.body.size()) +
                            "\r\nConnection: close\r\n\r\n";
                    if (SendAll(client, head) && (request.method == "HEAD" || SendBody(client, reply))) {
                        answered();
                        shutdown(client, SD_SEND);
                        WaitForClose(client);
                    }
                    break;
                case Reply::Kind::kEndlessBody: {
                    const std::string chunk(64 * 1024, 'x');
                    if (SendAll(client, head + "Connection: close\r\n\r\n")) {
                        while (SendAll(client, chunk)) {
                        }
                    }
                    break;
                }
                case Reply::Kind::kSilence: WaitForClose(client); break;
                case Reply::Kind::kCutShort:
                    head += "Content-Length: " + std::to_string(reply.body.size()) + "\r\n\r\n";
                    if (!SendAll(client, head + reply.body.substr(0, reply.body.size() / 2))) break;
                    Pause(50);  // the client has the first half before the connection breaks off
                    [[fallthrough]];
                case Reply::Kind::kReset: {
                    const linger abort_on_close = {1, 0};
                    setsockopt(client, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&abort_on_close),
                               sizeof abort_on_close);
                    break;
                }
            }
        }
        answered();
    }
    closesocket(client);
}

bool LoopbackServer::ReadRequest(SOCKET client, ReceivedRequest& request) {
    std::string data;
    size_t head_end;
    char buffer[4096];
    while ((head_end = data.find("\r\n\r\n")) == std::string::npos) {
        if (data.size() > kMaxRequestHead || !Wait(client, false)) return false;
        const int received = recv(client, buffer, sizeof buffer, 0);
        if (received <= 0) return false;
        data.append(buffer, received);
    }
    const size_t line_end = data.find("\r\n");
    const std::string line = data.substr(0, line_end);
    const size_t first_space = line.find(' ');
    const size_t last_space = line.rfind(' ');
    if (first_space == std::string::npos || last_space == first_space) return false;
    request.method = line.substr(0, first_space);
    request.target = line.substr(first_space + 1, last_space - first_space - 1);
    if (line_end < head_end) request.headers = data.substr(line_end + 2, head_end - line_end - 2);
    request.body = data.substr(head_end + 4);
    const size_t length = std::strtoul(request.Header("Content-Length").c_str(), nullptr, 10);
    while (request.body.size() < length) {
        if (!Wait(client, false)) return false;
        const int received = recv(client, buffer, sizeof buffer, 0);
        if (received <= 0) return false;
        request.body.append(buffer, received);
    }
    return true;
}

bool LoopbackServer::SendAll(SOCKET client, std::string_view bytes) {
    while (!bytes.empty()) {
        if (!Wait(client, true)) return false;
        const int sent = send(client, bytes.data(), static_cast<int>(bytes.size()), 0);
        if (sent == SOCKET_ERROR) {
            if (WSAGetLastError() == WSAEWOULDBLOCK) continue;
            return false;
        }
        bytes.remove_prefix(sent);
    }
    return true;
}

bool LoopbackServer::SendBody(SOCKET client, const Reply& reply) {
    if (reply.drip_ms <= 0) return SendAll(client, reply.body);
    for (char byte : reply.body) {
        if (!SendAll(client, std::string_view(&byte, 1)) || !Pause(reply.drip_ms)) return false;
    }
    return true;
}

void LoopbackServer::WaitForClose(SOCKET client) {
    char buffer[4096];
    while (Wait(client, false)) {
        const int received = recv(client, buffer, sizeof buffer, 0);
        if (received == 0 || (received == SOCKET_ERROR && WSAGetLastError() != WSAEWOULDBLOCK)) return;
    }
}

// Waits until the socket is ready; false once the server is stopping.
bool LoopbackServer::Wait(SOCKET socket, bool for_writing) {
    while (!stopping_) {
        fd_set set;
        FD_ZERO(&set);
        FD_SET(socket, &set);
        timeval timeout = {0, kPollMilliseconds * 1000};
        const int ready =
            select(0, for_writing ? nullptr : &set, for_writing ? &set : nullptr, nullptr, &timeout);
        if (ready > 0) return true;
        if (ready == SOCKET_ERROR) return false;
    }
    return false;
}

// Sleeps in short steps; false when the server started stopping meanwhile.
bool LoopbackServer::Pause(int milliseconds) {
    for (int waited = 0; waited < milliseconds && !stopping_; waited += kPollMilliseconds) {
        Sleep(kPollMilliseconds);
    }
    return !stopping_;
}
