// MIOStream: the standard streams, as plug-ins include them through the API.
#pragma once

#include <iostream>
