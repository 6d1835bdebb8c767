#pragma once

#include "data/Connection.h"

namespace realm {

// The list a search fills: emptied where the search empties it, then given
// the rows batch by batch, in result order.
class ListFeed : public BatchReceiver {
public:
    virtual void clearRows() = 0;
};

} // namespace realm
