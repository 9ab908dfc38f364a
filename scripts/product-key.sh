# Sourced, with $root set to the checkout: the product key and its install
# section as the programs name them (globals/ProductKey.h), as reg.exe paths.
# Display settings are the key's values, the install values the section's.
product_constant() { sed -n "s/.*$1\[\] = \"\(.*\)\";/\1/p" "$root/globals/ProductKey.h" | sed 's/\\\\/\\/g'; }
product_key="HKLM\\$(product_constant kProductKey)"
install_key="$product_key\\$(product_constant kInstallSection)"
