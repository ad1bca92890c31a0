// A small HTTP server on 127.0.0.1, run on threads of the test process: answers with scripted replies and
// records every request it receives.
#pragma once

#include <winsock2.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

// One request as it arrived.
struct ReceivedRequest {
    std::string method;   // "GET", "POST", "HEAD", "CONNECT", ...
    std::string target;   // path, absolute URL (proxy use) or host:port (CONNECT)
    std::string headers;  // the header lines after the request line, CR LF separated, without the blank line
    std::string body;     // as many bytes as Content-Length announced

    // Value of the first header of that name (letter case ignored), blanks trimmed; empty when missing.
    std::string Header(std::string_view name) const;
    // How many header lines carry that name (letter case ignored).
    int HeaderCount(std::string_view name) const;
};

// How to answer a request.
struct Reply {
    enum class Kind {
        kAnswer,       // status line, headers, Content-Length and body, then the connection closes
        kEndlessBody,  // status line and headers, then body bytes until the client goes away
        kSilence,      // read the request, never answer; wait for the client to give up
        kReset,        // read the request, then break the connection off (TCP reset)
        kCutShort,     // status line, headers and half the body Content-Length announces, then a reset
    };
    Kind kind = Kind::kAnswer;
    std::string status = "200 OK";
    std::string headers;  // extra header lines, each ending in CR LF
    std::string body;     // not sent in answer to HEAD
    int delay_ms = 0;     // wait this long before answering
    int drip_ms = 0;      // send the body a byte at a time, this long apart
};

class LoopbackServer {
  public:
    using Handler = std::function<Reply(const ReceivedRequest&)>;

    // Answers every request with the same reply.
    explicit LoopbackServer(Reply reply);
    // Answers each request with what the handler returns (called on a server thread), on `port` (an ephemeral
    // port when 0: what every test but those whose pictures show the address wants).
    explicit LoopbackServer(Handler handler, int port = 0);
    // Stops listening, breaks off every open connection and waits for the server threads.
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    int port() const { return port_; }
    // "http://127.0.0.1:<port>" followed by `path`.
    std::string Url(std::string_view path = "/") const;
    // The requests received so far, in arrival order.
    std::vector<ReceivedRequest> Requests() const;
    // The most requests that were being answered at the same time.
    int MostAnsweredAtOnce() const { return most_answering_; }

    // A loopback port on which nothing listens, for connections that must fail.
    static int UnusedPort();

  private:
    void Accept();
    void Serve(SOCKET client);
    bool ReadRequest(SOCKET client, ReceivedRequest& request);
    bool SendAll(SOCKET client, std::string_view bytes);
    bool SendBody(SOCKET client, const Reply& reply);
    void WaitForClose(SOCKET client);
    bool Wait(SOCKET socket, bool for_writing);
    bool Pause(int milliseconds);

    Handler handler_;
    SOCKET listener_ = INVALID_SOCKET;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::atomic<int> answering_{0}, most_answering_{0};
    mutable std::mutex mutex_;
    std::vector<ReceivedRequest> requests_;
    std::vector<std::thread> connections_;
    std::thread acceptor_;
};
