#pragma once

#include "Store.h"

namespace httplib {
class Server;
}

namespace palvo::service {

// Installs every address of the service on the server:
//   GET  /                        home page with links to sign-up and support
//   GET  /signup, POST /signup    the sign-up page (form: user, password, password2)
//   GET  /support                 the customer care page
//   POST /api/signin              form user, password -> {"token", "user"} | 401
//   GET  /api/account             Bearer token -> {"user", "frames": [...]} | 401
//   POST /api/frames/<id>/pictures  Bearer, multipart part "picture" -> 201 (stored),
//                                 200 (the same picture was already stored) | 4xx {"error"}
//   GET  /api/frames/<id>/pictures  Bearer -> {"pictures": [...]} in the order received
//   GET  /api/update?program=&version=  the update manifest (update.json of the data folder)
//   GET  /frame/<id>              the frame's page: its pictures in order, as the frame shows them
//   GET  /frame/<id>/<file>       one stored picture
//   GET  /static/...              files of the data folder's static/ (stationery catalogue)
void installRoutes(httplib::Server& server, Store& store);

// The largest request body the service reads; larger ones are answered 413.
inline constexpr std::size_t kMaxRequestBytes = 1024 * 1024;

} // namespace palvo::service
