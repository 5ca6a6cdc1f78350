#include "platform/linux/sleep_watcher.h"

#include <dbus/dbus.h>
#include <poll.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <thread>

namespace lumi {
namespace {

constexpr char kLoginInterface[] = "org.freedesktop.login1.Manager";
constexpr char kSleepSignal[] = "PrepareForSleep";
constexpr char kSleepMatch[] =
    "type='signal',path='/org/freedesktop/login1',interface='org.freedesktop.login1.Manager',"
    "member='PrepareForSleep'";

class DbusSleepWatcher final : public SleepWatcher {
 public:
  DbusSleepWatcher(SaverPlatform& platform, DBusConnection* connection, int stop_read, int stop_write)
      : platform_(platform), connection_(connection), stop_read_(stop_read), stop_write_(stop_write) {
    thread_ = std::thread([this] { Listen(); });
  }

  ~DbusSleepWatcher() override {
    const char stop = 0;
    [[maybe_unused]] const ssize_t written = write(stop_write_, &stop, 1);
    thread_.join();
    close(stop_read_);
    close(stop_write_);
    dbus_connection_close(connection_);
    dbus_connection_unref(connection_);
  }

 private:
  // The connection is this thread's alone until the thread ends.
  void Listen() {
    int bus_fd = -1;
    if (!dbus_connection_get_unix_fd(connection_, &bus_fd)) return;
    for (;;) {
      Deliver();
      pollfd fds[2] = {{bus_fd, POLLIN, 0}, {stop_read_, POLLIN, 0}};
      if (poll(fds, 2, -1) < 0) continue;  // interrupted by a signal
      if (fds[1].revents != 0) return;
      // A bus that went away has nothing more to say.
      if (!dbus_connection_read_write(connection_, 0)) return;
    }
  }

  void Deliver() {
    while (DBusMessage* message = dbus_connection_pop_message(connection_)) {
      dbus_bool_t starting = FALSE;
      if (dbus_message_is_signal(message, kLoginInterface, kSleepSignal) &&
          dbus_message_get_args(message, nullptr, DBUS_TYPE_BOOLEAN, &starting, DBUS_TYPE_INVALID) && starting) {
        platform_.PostMessage({0, kMessagePowerBroadcast, kPowerSuspend, 0});
      }
      dbus_message_unref(message);
    }
  }

  SaverPlatform& platform_;
  DBusConnection* connection_;
  int stop_read_, stop_write_;
  std::thread thread_;
};

}  // namespace

std::unique_ptr<SleepWatcher> WatchForSleep(SaverPlatform& platform, MessageBus bus, std::string& error) {
  dbus_threads_init_default();
  DBusError failure;
  dbus_error_init(&failure);
  DBusConnection* connection =
      dbus_bus_get_private(bus == MessageBus::System ? DBUS_BUS_SYSTEM : DBUS_BUS_SESSION, &failure);
  if (connection == nullptr) {
    error = std::string(bus == MessageBus::System ? "no system bus" : "no session bus") + " (" +
            (failure.message != nullptr ? failure.message : "unknown reason") + ")";
    dbus_error_free(&failure);
    return nullptr;
  }
  // libdbus would otherwise end the whole process when the bus goes away.
  dbus_connection_set_exit_on_disconnect(connection, FALSE);
  dbus_bus_add_match(connection, kSleepMatch, &failure);
  int stop[2] = {-1, -1};
  if (dbus_error_is_set(&failure) || pipe(stop) != 0) {
    error = std::string("cannot listen for sleep on the bus (") +
            (dbus_error_is_set(&failure) ? failure.message : "no pipe") + ")";
    dbus_error_free(&failure);
    dbus_connection_close(connection);
    dbus_connection_unref(connection);
    return nullptr;
  }
  return std::make_unique<DbusSleepWatcher>(platform, connection, stop[0], stop[1]);
}

bool SystemBusExists() {
  if (std::getenv("DBUS_SYSTEM_BUS_ADDRESS") != nullptr) return true;
  std::error_code ec;
  return std::filesystem::exists("/run/dbus/system_bus_socket", ec) ||
         std::filesystem::exists("/var/run/dbus/system_bus_socket", ec);
}

}  // namespace lumi
