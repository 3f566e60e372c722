#include "server/http_server.h"

#include <arpa/inet.h>
#include <microhttpd.h>
#include <netinet/in.h>
#include <sys/epoll.h>
#include <time.h>

#include <cstring>

#include "platform/system_sleep.h"

namespace glowreel::server {

namespace {

constexpr std::size_t kStreamBacklog = std::size_t{1} << 20;  // a reader this far behind is let go
constexpr uint64_t kKeepAliveUs = 10'000'000;
// The library is run at least this often: with event streams resumed and suspended, it was seen
// to leave closed connections unnoticed until its next run.
constexpr MHD_UNSIGNED_LONG_LONG kLongestWaitMs = 100;
constexpr const char* kJson = "application/json";

std::string ErrorJson(const std::string& text) {
  std::string escaped;
  for (const char c : text) {
    if (c == '"' || c == '\\') escaped += '\\';
    escaped += c;
  }
  return "{\"error\":\"" + escaped + "\"}";
}

// Compares without telling, by its time, how much of a guess was right.
bool SameSecret(const std::string& given, const std::string& secret) {
  unsigned char differ = given.size() != secret.size();
  for (std::size_t k = 0; k < given.size(); ++k)
    differ |=
        static_cast<unsigned char>(given[k] ^ secret[k % std::max<std::size_t>(1, secret.size())]);
  return differ == 0;
}

enum MHD_Result Send(MHD_Connection* connection, const Response& answer) {
  MHD_Response* response = MHD_create_response_from_buffer(
      answer.body.size(), const_cast<char*>(answer.body.data()), MHD_RESPMEM_MUST_COPY);
  if (!response) return MHD_NO;
  MHD_add_response_header(response, "Content-Type", answer.contentType.c_str());
  MHD_add_response_header(response, "Cache-Control", "no-store");
  MHD_add_response_header(response, "X-Content-Type-Options", "nosniff");
  // The page runs only its own scripts and talks only to this server.
  if (answer.contentType.rfind("text/html", 0) == 0)
    MHD_add_response_header(response, "Content-Security-Policy",
                            "default-src 'self'; img-src 'self' blob: data:; "
                            "frame-ancestors 'none'; base-uri 'none'; form-action 'none'");
  if (!answer.allow.empty()) MHD_add_response_header(response, "Allow", answer.allow.c_str());
  if (answer.status == 401) MHD_add_response_header(response, "WWW-Authenticate", "Bearer");
  const enum MHD_Result queued =
      MHD_queue_response(connection, static_cast<unsigned>(answer.status), response);
  MHD_destroy_response(response);
  return queued;
}

}  // namespace

struct HttpServer::Connection {
  Request request;
  bool tooLarge = false;
};

struct HttpServer::Stream {
  MHD_Connection* connection = nullptr;
  std::string pending;
  bool suspended = false;
  bool closed = false;
};

struct Callbacks {
  static enum MHD_Result Access(void* self, MHD_Connection* connection, const char* url,
                                const char* method, const char*, const char* data,
                                std::size_t* size, void** context) {
    auto& server = *static_cast<HttpServer*>(self);
    if (!*context) {
      auto* fresh = new HttpServer::Connection;
      *context = fresh;
      fresh->request.method = method;
      fresh->request.path = url;
      const char* type = MHD_lookup_connection_value(connection, MHD_HEADER_KIND, "Content-Type");
      fresh->request.contentType = type ? type : "";
      MHD_get_connection_values(
          connection, MHD_GET_ARGUMENT_KIND,
          [](void* query, enum MHD_ValueKind, const char* key, const char* value) {
            (*static_cast<std::map<std::string, std::string>*>(query))[key] = value ? value : "";
            return MHD_YES;
          },
          &fresh->request.query);
      // A body announced too large is refused before it is read.
      const char* length =
          MHD_lookup_connection_value(connection, MHD_HEADER_KIND, "Content-Length");
      if (length && std::strtoull(length, nullptr, 10) > server.settings_.bodyLimit) {
        return Send(connection, {413, kJson,
                                 ErrorJson("the body is larger than " +
                                           std::to_string(server.settings_.bodyLimit) + " bytes"),
                                 ""});
      }
      return MHD_YES;
    }
    auto& state = *static_cast<HttpServer::Connection*>(*context);
    if (*size > 0) {
      if (state.request.body.size() + *size > server.settings_.bodyLimit) state.tooLarge = true;
      if (!state.tooLarge) state.request.body.append(data, *size);
      *size = 0;
      return MHD_YES;
    }
    if (state.tooLarge)
      return Send(connection, {413, kJson, ErrorJson("the body is too large"), ""});
    if (!server.Authorized(connection, state.request))
      return Send(connection,
                  {401, kJson, ErrorJson("a valid token is needed (Authorization: Bearer)"), ""});
    if (state.request.path == "/api/events" && state.request.method == "GET")
      return OpenStream(server, connection);
    return Send(connection, server.handler_(state.request));
  }

  static void Completed(void*, MHD_Connection*, void** context, enum MHD_RequestTerminationCode) {
    delete static_cast<HttpServer::Connection*>(*context);
    *context = nullptr;
  }

  static enum MHD_Result OpenStream(HttpServer& server, MHD_Connection* connection) {
    std::erase_if(server.streams_, [](const auto& stream) { return stream->closed; });
    if (server.streams_.size() >= HttpServer::kStreamLimit)
      return Send(connection, {503, kJson, ErrorJson("too many event streams open"), ""});
    auto stream = std::make_shared<HttpServer::Stream>();
    stream->connection = connection;
    stream->pending = "retry: 1000\n\n";
    server.streams_.push_back(stream);
    MHD_Response* response = MHD_create_response_from_callback(
        MHD_SIZE_UNKNOWN, 16384, Read, new std::shared_ptr<HttpServer::Stream>(stream), Free);
    if (!response) return MHD_NO;
    MHD_add_response_header(response, "Content-Type", "text/event-stream");
    MHD_add_response_header(response, "Cache-Control", "no-store");
    const enum MHD_Result queued = MHD_queue_response(connection, 200, response);
    MHD_destroy_response(response);
    return queued;
  }

  // Hands out what is waiting; with nothing, the connection sleeps until the next event.
  static ssize_t Read(void* cls, uint64_t, char* buffer, std::size_t max) {
    HttpServer::Stream& stream = **static_cast<std::shared_ptr<HttpServer::Stream>*>(cls);
    if (stream.closed) return MHD_CONTENT_READER_END_OF_STREAM;
    if (stream.pending.empty()) {
      MHD_suspend_connection(stream.connection);
      stream.suspended = true;
      return 0;
    }
    const std::size_t count = std::min(max, stream.pending.size());
    std::memcpy(buffer, stream.pending.data(), count);
    stream.pending.erase(0, count);
    return static_cast<ssize_t>(count);
  }

  static void Free(void* cls) {
    auto* stream = static_cast<std::shared_ptr<HttpServer::Stream>*>(cls);
    (*stream)->closed = true;
    delete stream;
  }
};

std::string ReadListenSetting(const std::string& text, HttpSettings& settings) {
  std::string address = "127.0.0.1", port = text;
  if (!text.empty() && text.front() == '[') {
    const auto end = text.find("]:");
    if (end == std::string::npos) return "an IPv6 address is written [ADDR]:PORT";
    address = text.substr(1, end - 1);
    port = text.substr(end + 2);
  } else if (const auto colon = text.rfind(':'); colon != std::string::npos) {
    address = text.substr(0, colon);
    port = text.substr(colon + 1);
  }
  if (address == "localhost") address = "127.0.0.1";
  unsigned char probe[sizeof(in6_addr)];
  if (inet_pton(AF_INET, address.c_str(), probe) != 1 &&
      inet_pton(AF_INET6, address.c_str(), probe) != 1)
    return "\"" + address + "\" is not an IP address";
  if (port.empty() || port.size() > 5 ||
      port.find_first_not_of("0123456789") != std::string::npos || std::stoi(port) > 65535)
    return "the port is a number from 0 to 65535";
  settings.address = address;
  settings.port = static_cast<uint16_t>(std::stoi(port));
  return "";
}

bool IsLoopback(const std::string& address) {
  return address == "::1" || address.rfind("127.", 0) == 0;
}

HttpServer::HttpServer(EventLoop& loop, Handler handler)
    : loop_(loop), handler_(std::move(handler)) {}

HttpServer::~HttpServer() {
  if (!daemon_) return;
  // Every sleeping stream woken and ended first, as the library requires.
  for (const auto& stream : streams_) {
    stream->closed = true;
    if (stream->suspended) MHD_resume_connection(stream->connection);
  }
  watch_.reset();
  timer_.reset();
  keepAlive_.reset();
  MHD_stop_daemon(daemon_);
}

std::string HttpServer::Start(const HttpSettings& settings) {
  settings_ = settings;
  sockaddr_in v4{};
  sockaddr_in6 v6{};
  const bool six = settings.address.find(':') != std::string::npos;
  if (six) {
    v6.sin6_family = AF_INET6;
    v6.sin6_port = htons(settings.port);
    inet_pton(AF_INET6, settings.address.c_str(), &v6.sin6_addr);
  } else {
    v4.sin_family = AF_INET;
    v4.sin_port = htons(settings.port);
    inet_pton(AF_INET, settings.address.c_str(), &v4.sin_addr);
  }
  const sockaddr* address =
      six ? reinterpret_cast<const sockaddr*>(&v6) : reinterpret_cast<const sockaddr*>(&v4);
  unsigned flags =
      MHD_USE_EPOLL | MHD_ALLOW_SUSPEND_RESUME | (six ? static_cast<unsigned>(MHD_USE_IPv6) : 0u);
  const bool tls = !settings.certificatePem.empty();
  if (tls) {
    if (MHD_is_feature_supported(MHD_FEATURE_TLS) != MHD_YES)
      return "this libmicrohttpd has no TLS";
    flags |= MHD_USE_TLS;
  }
  const MHD_OptionItem tlsOptions[] = {
      {MHD_OPTION_HTTPS_MEM_KEY, 0, const_cast<char*>(settings.keyPem.c_str())},
      {MHD_OPTION_HTTPS_MEM_CERT, 0, const_cast<char*>(settings.certificatePem.c_str())},
      {MHD_OPTION_END, 0, nullptr}};
  const MHD_OptionItem none[] = {{MHD_OPTION_END, 0, nullptr}};
  daemon_ = MHD_start_daemon(
      flags, settings.port, nullptr, nullptr, &Callbacks::Access, this, MHD_OPTION_SOCK_ADDR,
      address, MHD_OPTION_CONNECTION_LIMIT, kConnectionLimit, MHD_OPTION_PER_IP_CONNECTION_LIMIT,
      kPerClientLimit, MHD_OPTION_CONNECTION_TIMEOUT, kIdleSeconds, MHD_OPTION_NOTIFY_COMPLETED,
      &Callbacks::Completed, this, MHD_OPTION_ARRAY, tls ? tlsOptions : none, MHD_OPTION_END);
  if (!daemon_)
    return "cannot listen on " + settings.address + " port " + std::to_string(settings.port) +
           " (in use, or not an address of this machine)";
  port_ = MHD_get_daemon_info(daemon_, MHD_DAEMON_INFO_BIND_PORT)->port;
  const int epoll = MHD_get_daemon_info(daemon_, MHD_DAEMON_INFO_EPOLL_FD)->epoll_fd;
  watch_ = loop_.WatchFd(epoll, EPOLLIN, [this](uint32_t) { Run(); });
  timer_ = loop_.Timer([this] { Run(); });
  keepAlive_ = loop_.Timer([this] {
    Broadcast("", "");
    keepAlive_->SetTime(MonotonicUs() + kKeepAliveUs);
  });
  if (!watch_ || !timer_ || !keepAlive_) return "the event loop cannot watch the server";
  keepAlive_->SetTime(MonotonicUs() + kKeepAliveUs);
  return "";
}

bool HttpServer::Authorized(MHD_Connection* connection, const Request& request) const {
  // The page's files are no secret: the page asks for the token and sends it to the API.
  if (settings_.token.empty() || request.path.rfind("/api/", 0) != 0) return true;
  const char* given = MHD_lookup_connection_value(connection, MHD_HEADER_KIND, "Authorization");
  if (given && SameSecret(given, "Bearer " + settings_.token)) return true;
  // A browser's EventSource cannot send headers: the stream takes the token in its address.
  const auto query = request.query.find("token");
  return request.path == "/api/events" && query != request.query.end() &&
         SameSecret(query->second, settings_.token);
}

void HttpServer::Broadcast(const std::string& event, const std::string& data) {
  const std::string text =
      event.empty() ? ": keep-alive\n\n" : "event: " + event + "\ndata: " + data + "\n\n";
  bool resumed = false;
  for (const auto& stream : streams_) {
    if (stream->closed) continue;
    if (stream->pending.size() > kStreamBacklog) {
      stream->closed = true;
    } else {
      stream->pending += text;
    }
    if (stream->suspended) {
      stream->suspended = false;
      MHD_resume_connection(stream->connection);
      resumed = true;
    }
  }
  // The library takes resumed connections up only in its next run.
  if (resumed) timer_->SetTime(MonotonicUs());
  std::erase_if(streams_, [](const auto& stream) { return stream->closed && !stream->suspended; });
}

void HttpServer::Run() {
  MHD_run(daemon_);
  MHD_UNSIGNED_LONG_LONG ms = kLongestWaitMs;
  if (MHD_get_timeout(daemon_, &ms) != MHD_YES || ms > kLongestWaitMs) ms = kLongestWaitMs;
  timer_->SetTime(MonotonicUs() + ms * 1000);
}

}  // namespace glowreel::server
