// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Bridge helpers between Qt strings and UNO, and the connection to a listening office.

#include <QString>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <rtl/ustring.hxx>

namespace qurvex {

inline QString toQ(const rtl::OUString& s) {
    return QString(reinterpret_cast<const QChar*>(s.getStr()), s.getLength());
}

inline rtl::OUString toU(const QString& s) {
    return rtl::OUString(reinterpret_cast<const sal_Unicode*>(s.utf16()),
                         static_cast<sal_Int32>(s.size()));
}

// The component context of the office listening on the named pipe
// ("uno:pipe,name=<pipe>;urp;StarOffice.ComponentContext"): its services run in the office.
// Throws css::uno::Exception (NoConnectException within a millisecond when nothing listens). A
// connection that the office drops before its first answer is made anew, a few times at most.
css::uno::Reference<css::uno::XComponentContext> connectContext(const QString& pipe);

// The desktop of the office listening on the named pipe
// ("uno:pipe,name=<pipe>;urp;StarOffice.ComponentContext"). Throws css::uno::Exception
// (NoConnectException within a millisecond when nothing listens).
css::uno::Reference<css::frame::XDesktop2> connectDesktop(const QString& pipe);

}  // namespace qurvex
