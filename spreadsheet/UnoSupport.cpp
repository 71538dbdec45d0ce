// SPDX-License-Identifier: GPL-3.0-or-later
#include "spreadsheet/UnoSupport.h"

#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/bridge/XUnoUrlResolver.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <csignal>
#include <mutex>
#include <rtl/bootstrap.hxx>

namespace qurvex {

using namespace css;

namespace {

// The local UNO environment of this process, made once. Without URE_BOOTSTRAP pointing at the
// office's fundamentalrc the client has no office types and the desktop cannot be created.
uno::Reference<uno::XComponentContext> localContext() {
    static std::once_flag once;
    static uno::Reference<uno::XComponentContext> context;
    std::call_once(once, [] {
        // A bridge may still write to a pipe that the office has just closed (a connection that
        // ends, an office that quits): that write must fail with EPIPE, not end the program.
        std::signal(SIGPIPE, SIG_IGN);
        rtl::Bootstrap::set(
            rtl::OUString("URE_BOOTSTRAP"),
            rtl::OUString("vnd.sun.star.pathname:" QURVEX_OFFICE_PROGRAM_DIR "/fundamentalrc"));
        context = cppu::defaultBootstrap_InitialComponentContext();
    });
    return context;
}

}  // namespace

uno::Reference<uno::XComponentContext> connectContext(const QString& pipe) {
    const auto resolver = bridge::UnoUrlResolver::create(localContext());
    const rtl::OUString url = rtl::OUString("uno:pipe,name=") + toU(pipe) +
                              rtl::OUString(";urp;StarOffice.ComponentContext");
    // An office that is busy creating or closing documents now and then drops a new connection
    // before the connection's first request (the office's component context) is answered: the
    // bridge reports "Binary URP bridge disposed during call". Nothing has been asked of the
    // office then, so a fresh connection is safe; an office that keeps dropping them is gone.
    constexpr int attempts = 5;
    for (int attempt = 1;; ++attempt) {
        try {
            return uno::Reference<uno::XComponentContext>(resolver->resolve(url),
                                                          uno::UNO_QUERY_THROW);
        } catch (const lang::DisposedException&) {
            if (attempt == attempts) throw;
        }
    }
}

uno::Reference<frame::XDesktop2> connectDesktop(const QString& pipe) {
    return frame::Desktop::create(connectContext(pipe));
}

}  // namespace qurvex
