// Tells the resource factory which classes of this layer stand for which
// catalog type codes.
#pragma once

class YAssets3DResources {
public:
    static void Register();
};
