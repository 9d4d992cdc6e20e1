-- Pictures read from any path (love.filesystem reads only the program's own folder).
local pictures = {}

function pictures.LoadImageData(path)
  local file = assert(io.open(path, "rb"), path .. ": cannot open")
  local bytes = file:read("*a")
  file:close()
  return love.image.newImageData(love.filesystem.newFileData(bytes, path))
end

return pictures
