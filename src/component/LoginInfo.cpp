#include "component/LoginInfo.h"

LoginInfo::~LoginInfo() = default;
