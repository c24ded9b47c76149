#pragma once

#include "config/clsinitdbconnect.h"

#include <memory>

namespace quendra::test {

// A cursor of init.mdb opened on table, the rows of transId (all rows without one) in
// the given order.
inline std::unique_ptr<clsInitDBConnect>
openCursor(const QString& table, const QString& transId = {}, const QString& order = {})
{
    auto c = std::make_unique<clsInitDBConnect>();
    c->setTable(table);
    if (!transId.isEmpty())
        c->setTransID(transId);
    c->setOrderBy(order);
    c->init();
    return c;
}

} // namespace quendra::test
