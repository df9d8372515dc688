# cmake -D DIR=<folder> -D FILES=<name;...> -P write-checksums.cmake
# Writes DIR/SHA256SUMS in the form sha256sum -c reads: hash, two blanks, name.
set(lines "")
foreach(name IN LISTS FILES)
  file(SHA256 ${DIR}/${name} hash)
  string(APPEND lines "${hash}  ${name}\n")
endforeach()
file(WRITE ${DIR}/SHA256SUMS "${lines}")
